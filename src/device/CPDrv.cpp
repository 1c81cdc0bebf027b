#include "device/CPDrv.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace v7300 {
namespace {

struct BaudEntry {
    TBaudRate rate;
    std::uint32_t value;
    speed_t speed; // B0: the platform has no such speed
};

constexpr std::array kBauds = {
    BaudEntry{br110, 110, B110},       BaudEntry{br300, 300, B300},         BaudEntry{br600, 600, B600},
    BaudEntry{br1200, 1200, B1200},    BaudEntry{br2400, 2400, B2400},      BaudEntry{br4800, 4800, B4800},
    BaudEntry{br9600, 9600, B9600},    BaudEntry{br14400, 14400, B0},       BaudEntry{br19200, 19200, B19200},
    BaudEntry{br38400, 38400, B38400}, BaudEntry{br56000, 56000, B0},       BaudEntry{br57600, 57600, B57600},
    BaudEntry{br115200, 115200, B115200}, BaudEntry{br230400, 230400, B230400},
};

speed_t speedOf(std::uint32_t value) {
    for (const auto& b : kBauds)
        if (b.value == value) return b.speed;
    return B0;
}

tcflag_t dataBitsFlag(TDataBits bits) {
    switch (bits) {
    case db5BITS: return CS5;
    case db6BITS: return CS6;
    case db7BITS: return CS7;
    case db8BITS: break;
    }
    return CS8;
}

void applyParity(termios& t, TParity parity) {
    t.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD | CMSPAR);
    switch (parity) {
    case ptNONE: break;
    case ptODD: t.c_cflag |= PARENB | PARODD; break;
    case ptEVEN: t.c_cflag |= PARENB; break;
    case ptMARK: t.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case ptSPACE: t.c_cflag |= PARENB | CMSPAR; break;
    }
}

// Modem lines: pseudo-terminals have none, which is no reason to refuse the port.
bool setModemLine(int fd, int line) {
    if (::ioctl(fd, TIOCMBIS, &line) == 0) return true;
    return errno == ENOTTY || errno == EINVAL;
}

// "ttyUSB12" -> true for the prefix "ttyUSB": the rest must be digits.
bool matchesPort(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return false;
    return std::all_of(name.begin() + static_cast<long>(prefix.size()), name.end(),
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

// Natural order: runs of digits compare by their value.
bool naturalLess(const std::string& a, const std::string& b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const bool da = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
        const bool db = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
        if (da && db) {
            std::size_t ei = i, ej = j;
            while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei]))) ++ei;
            while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej]))) ++ej;
            std::string na = a.substr(i, ei - i), nb = b.substr(j, ej - j);
            na.erase(0, std::min(na.find_first_not_of('0'), na.size() - 1));
            nb.erase(0, std::min(nb.find_first_not_of('0'), nb.size() - 1));
            if (na.size() != nb.size()) return na.size() < nb.size();
            if (na != nb) return na < nb;
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j]) return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

} // namespace

TCommPortDriver::TCommPortDriver() : PortName_("/dev/ttyS1"), Buffer_(InBufSize_) {}

TCommPortDriver::~TCommPortDriver() { Disconnect(); }

void TCommPortDriver::SetPort(int port) {
    if (Connected()) return;
    Port_ = port;
    if (port > 0) PortName_ = "/dev/ttyS" + std::to_string(port - 1);
}

void TCommPortDriver::SetPortName(const std::string& name) {
    if (Connected()) return;
    PortName_ = name;
    Port_ = 0;
}

void TCommPortDriver::SetBaudRate(TBaudRate rate) {
    BaudRate_ = rate;
    for (const auto& b : kBauds)
        if (b.rate == rate) BaudRateValue_ = b.value;
}

void TCommPortDriver::SetBaudRateValue(std::uint32_t value) {
    BaudRateValue_ = value;
    BaudRate_ = brCustom;
    for (const auto& b : kBauds)
        if (b.value == value) BaudRate_ = b.rate;
}

void TCommPortDriver::SetInBufSize(std::size_t size) {
    if (Connected() || size == 0) return;
    InBufSize_ = size;
    Buffer_.assign(size, 0);
}

void TCommPortDriver::SetOutBufSize(std::size_t size) {
    if (!Connected() && size > 0) OutBufSize_ = size;
}

bool TCommPortDriver::Connect() {
    if (Connected()) return true;
    const int fd = ::open(PortName_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    // Another program holds the port: in exclusive mode (which a privileged user
    // could otherwise open anyway) or under an advisory lock.
    int exclusive = 0;
    const bool held = (::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0) ||
                      ::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0;
    if (held) {
        ::close(fd);
        return false;
    }
    Fd_ = fd;
    if (!ApplySettings()) {
        Disconnect();
        return false;
    }
    LastPoll_ = 0;
    return true;
}

bool TCommPortDriver::ApplySettings() {
    const speed_t speed = speedOf(BaudRateValue_);
    termios t{};
    if (speed == B0 || ::tcgetattr(Fd_, &t) != 0) return false;
    ::cfmakeraw(&t);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD | dataBitsFlag(DataBits);
    if (StopBits != sb1BITS) t.c_cflag |= CSTOPB;
    applyParity(t, Parity);
    if (HwFlow == hfRTSCTS) t.c_cflag |= CRTSCTS;
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    if (SwFlow == sfXONXOFF) {
        t.c_iflag |= IXON | IXOFF;
        t.c_cc[VSTART] = 17;
        t.c_cc[VSTOP] = 19;
    }
    // Reads return at once with what is there; the host polls.
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0) return false;
    if (::tcsetattr(Fd_, TCSANOW, &t) != 0) return false;
    if (EnableDTROnOpen && !setModemLine(Fd_, TIOCM_DTR)) return false;
    if (HwFlow == hfNONERTSON && !setModemLine(Fd_, TIOCM_RTS)) return false;
    return ::tcflush(Fd_, TCIOFLUSH) == 0;
}

void TCommPortDriver::Disconnect() {
    if (!Connected()) return;
    ::ioctl(Fd_, TIOCNXCL);
    ::close(Fd_); // also releases the advisory lock
    Fd_ = -1;
}

void TCommPortDriver::Tick(std::int64_t nowMs) {
    if (!Connected() || nowMs - LastPoll_ < PollingDelay) return;
    LastPoll_ = nowMs;
    Poll();
}

std::size_t TCommPortDriver::Poll() {
    if (!Connected()) return 0;
    std::size_t total = 0;
    while (total < Buffer_.size()) {
        const ssize_t n = ::read(Fd_, Buffer_.data() + total, Buffer_.size() - total);
        if (n > 0) {
            total += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break; // nothing more now, end of file or an error
        }
    }
    if (total > 0 && OnReceiveData) OnReceiveData(Buffer_.data(), total);
    return total;
}

std::size_t TCommPortDriver::SendData(const char* data, std::size_t count) {
    if (!Connected()) return 0;
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(Fd_, data + done, count - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) break;
        pollfd p{Fd_, POLLOUT, 0};
        if (::poll(&p, 1, 10) <= 0) break; // the write timeout: 10 ms
    }
    return done;
}

std::vector<std::string> SerialPortCandidates(const std::string& deviceFolder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(deviceFolder.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (matchesPort(name, "ttyS") || matchesPort(name, "ttyUSB") || matchesPort(name, "ttyACM"))
                names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end(), naturalLess);
    const std::string prefix = deviceFolder.empty() || deviceFolder.back() == '/' ? deviceFolder : deviceFolder + "/";
    for (auto& n : names) n = prefix + n;
    return names;
}

std::vector<std::string> AvailableSerialPorts(const std::string& deviceFolder) {
    std::vector<std::string> ports;
    TCommPortDriver driver;
    for (const auto& name : SerialPortCandidates(deviceFolder)) {
        driver.SetPortName(name);
        if (driver.Connect()) {
            ports.push_back(name);
            driver.Disconnect();
        }
    }
    return ports;
}

std::string SerialDeviceFolder() {
    const char* dir = std::getenv("V7300_DEV_DIR");
    return dir != nullptr && *dir != '\0' ? dir : "/dev";
}

} // namespace v7300
