#pragma once
// What the commands that talk to a controller share: the --device and --port
// options, the device link on the controller's port, and waiting for replies.
#include "cli/Cli.h"
#include "core/Clock.h"
#include "device/UnitHardwareV7300NETIO.h"

#include <cstdint>
#include <string>
#include <vector>

namespace v7300::cli {

struct DeviceOptions {
    std::string project;
    std::string device;
    std::uint16_t port = 4000;
};

bool isIpv4(const std::string& text);
// Takes --device ADDRESS (required) and --port P (default 4000) out of args.
DeviceOptions deviceOptions(std::vector<std::string>& args, const char* command);
// The link's ports with the controller listening on `devicePort`.
TLinkPorts linkPorts(std::uint16_t devicePort);
// Waits for the link's sockets (and `extraFd` when not -1) until `deadline` at
// the latest, at most a second, and lets the link read. True when `extraFd` became readable.
bool waitForLink(THardwareV7300NETIO& link, Clock& clock, std::int64_t deadline, int extraFd = -1);

} // namespace v7300::cli
