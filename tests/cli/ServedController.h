#pragma once
// A virtual controller on a free port of 127.0.0.1, served by its own thread,
// for the command-line tests that talk UDP; and a port where nothing listens.
#include "core/Clock.h"
#include "device/VirtualController.h"

#include <arpa/inet.h>
#include <atomic>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace v7300::test {

class ServedController {
public:
    explicit ServedController(TVirtualControllerOptions options) {
        options.Address = "127.0.0.1";
        options.Port = 0;
        vc_ = std::make_unique<TVirtualController>(options, clock_);
        thread_ = std::thread([this] {
            while (!stop_) {
                pollfd p{vc_->Descriptor(), POLLIN, 0};
                const bool readable = ::poll(&p, 1, 5) > 0;
                std::lock_guard lock(mutex_);
                if (readable) vc_->ReadPending();
                vc_->Tick(); // the stored logic runs
            }
        });
    }
    explicit ServedController(std::uint8_t clients) : ServedController(withClients(clients)) {}
    ~ServedController() {
        stop_ = true;
        thread_.join();
    }
    ServedController(const ServedController&) = delete;
    ServedController& operator=(const ServedController&) = delete;

    std::uint16_t port() const { return vc_->Port(); }
    std::vector<std::uint8_t> eeprom() {
        std::lock_guard lock(mutex_);
        return vc_->Eeprom();
    }
    // A line typed at the emulator's stdin ("bus 5 0x81" …).
    std::string command(const std::string& line) {
        std::lock_guard lock(mutex_);
        return vc_->Command(line);
    }
    std::vector<TEmulatedBusModule> busModules() {
        std::lock_guard lock(mutex_);
        return vc_->BusModules();
    }
    // The checksum of the program it runs, 0 when none runs.
    std::uint16_t runningChecksum() {
        std::lock_guard lock(mutex_);
        return vc_->LogicRunning() ? vc_->Checksum() : 0;
    }

private:
    static TVirtualControllerOptions withClients(std::uint8_t clients) {
        TVirtualControllerOptions o;
        o.TcpClients = clients;
        return o;
    }

    SystemClock clock_;
    std::unique_ptr<TVirtualController> vc_;
    std::mutex mutex_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A UDP port of 127.0.0.1 on which nothing listens (the kernel's choice, released again).
inline std::uint16_t unusedPort() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

} // namespace v7300::test
