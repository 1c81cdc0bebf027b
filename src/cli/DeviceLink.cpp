#include "cli/DeviceLink.h"

#include "core/NumberFormat.h"

#include <algorithm>
#include <arpa/inet.h>
#include <poll.h>

namespace v7300::cli {

bool isIpv4(const std::string& text) {
    in_addr a{};
    return ::inet_pton(AF_INET, text.c_str(), &a) == 1;
}

DeviceOptions deviceOptions(std::vector<std::string>& args, const char* command) {
    DeviceOptions o;
    std::string device;
    if (!takeOption(args, "--device", device)) throw UsageError(std::string(command) + ": --device ADDRESS fehlt");
    if (!isIpv4(device)) throw UsageError("--device erwartet eine Adresse A.B.C.D, nicht '" + device + "'");
    o.device = device;
    std::string port;
    if (takeOption(args, "--port", port)) {
        const auto v = parseInt32(port);
        if (!v || *v < 1 || *v > 65535) throw UsageError("--port erwartet eine Zahl von 1 bis 65535");
        o.port = static_cast<std::uint16_t>(*v);
    }
    return o;
}

TLinkPorts linkPorts(std::uint16_t devicePort) {
    TLinkPorts p;
    p.DevicePort = devicePort;
    return p;
}

bool waitForLink(THardwareV7300NETIO& link, Clock& clock, std::int64_t deadline, int extraFd) {
    const std::int64_t wait = std::clamp<std::int64_t>(deadline - clock.monotonicMs(), 0, 1000);
    pollfd fds[3] = {{link.Descriptor(), POLLIN, 0}, {link.BroadcastDescriptor(), POLLIN, 0}, {extraFd, POLLIN, 0}};
    const int ready = ::poll(fds, 3, static_cast<int>(wait));
    if (ready <= 0) return false;
    if ((fds[0].revents | fds[1].revents) & POLLIN) link.ReadPending();
    return extraFd >= 0 && (fds[2].revents & POLLIN);
}

} // namespace v7300::cli
