#pragma once
// A pseudo-terminal for the serial-port tests: the master end stays with the
// test, the slave's device path plays the serial port.
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace v7300::test {

class Pty {
public:
    Pty() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
            if (const char* name = ::ptsname(master_)) slave_ = name;
        }
    }
    ~Pty() {
        if (master_ >= 0) ::close(master_);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    int master() const { return master_; }
    const std::string& slave() const { return slave_; }

private:
    int master_ = -1;
    std::string slave_;
};

} // namespace v7300::test
