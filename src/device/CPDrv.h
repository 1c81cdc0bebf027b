#pragma once
// TCommPortDriver: a serial port opened by name with a set of line settings,
// kept open, polled for received bytes on a timer that the host drives, and
// closed. POSIX termios underneath; the port is held exclusively while open.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace v7300 {

enum TBaudRate {
    brCustom, br110, br300, br600, br1200, br2400, br4800, br9600, br14400, br19200, br38400, br56000,
    br57600, br115200, br230400,
};
enum TDataBits { db5BITS, db6BITS, db7BITS, db8BITS };
enum TStopBits { sb1BITS, sb1HALFBITS, sb2BITS };
enum TParity { ptNONE, ptODD, ptEVEN, ptMARK, ptSPACE };
enum THwFlowControl { hfNONE, hfNONERTSON, hfRTSCTS };
enum TSwFlowControl { sfNONE, sfXONXOFF };

class TCommPortDriver {
public:
    TCommPortDriver();
    ~TCommPortDriver();
    TCommPortDriver(const TCommPortDriver&) = delete;
    TCommPortDriver& operator=(const TCommPortDriver&) = delete;

    // Port number n > 0 names the n-th built-in serial port, /dev/ttyS<n-1>
    // (the first port, COM1 elsewhere, is /dev/ttyS0). Only while closed.
    int Port() const { return Port_; }
    void SetPort(int port);
    // The device path; setting it directly sets Port to 0. Only while closed.
    const std::string& PortName() const { return PortName_; }
    void SetPortName(const std::string& name);

    // The line speed: the enumeration and its value in bits per second.
    TBaudRate BaudRate() const { return BaudRate_; }
    void SetBaudRate(TBaudRate rate);
    std::uint32_t BaudRateValue() const { return BaudRateValue_; }
    void SetBaudRateValue(std::uint32_t value);

    TDataBits DataBits = db8BITS;
    TStopBits StopBits = sb1BITS;
    TParity Parity = ptNONE;
    THwFlowControl HwFlow = hfNONERTSON;
    TSwFlowControl SwFlow = sfNONE;
    int PollingDelay = 50; // milliseconds between two receive polls
    bool EnableDTROnOpen = true;
    int PacketSize = -1;    // packet mode is not supported: bytes are delivered as they come
    int PacketTimeout = -1;

    // Size of the receive buffer (the most bytes one poll delivers). Only while closed.
    std::size_t InBufSize() const { return InBufSize_; }
    void SetInBufSize(std::size_t size);
    std::size_t OutBufSize() const { return OutBufSize_; }
    void SetOutBufSize(std::size_t size);

    // Opens the port exclusively and applies the line settings; a port that is
    // missing, not a terminal, or held by another program does not open.
    bool Connect();
    void Disconnect();
    bool Connected() const { return Fd_ >= 0; }
    // The open descriptor (-1 when closed), for hosts that watch it.
    int Descriptor() const { return Fd_; }

    // The polling timer, driven by the host: reads what the port holds and
    // hands it to OnReceiveData when PollingDelay has passed since the last poll.
    void Tick(std::int64_t nowMs);
    // One poll now; returns the number of bytes delivered.
    std::size_t Poll();
    std::function<void(const char* data, std::size_t count)> OnReceiveData;

    // Writes the bytes, waiting at most 10 ms in total for the port to take them;
    // returns the number written.
    std::size_t SendData(const char* data, std::size_t count);

private:
    bool ApplySettings();

    int Port_ = 2;
    std::string PortName_;
    TBaudRate BaudRate_ = br9600;
    std::uint32_t BaudRateValue_ = 9600;
    std::size_t InBufSize_ = 2048;
    std::size_t OutBufSize_ = 2048;
    std::vector<char> Buffer_;
    int Fd_ = -1;
    std::int64_t LastPoll_ = 0;
};

// The serial devices present in the folder (ttyS*, ttyUSB*, ttyACM* followed
// by digits only), as full paths in natural order (ttyS2 before ttyS10).
std::vector<std::string> SerialPortCandidates(const std::string& deviceFolder = "/dev");

// The candidates that open now: missing ports, ports without a terminal behind
// them and ports held by another program are left out.
std::vector<std::string> AvailableSerialPorts(const std::string& deviceFolder = "/dev");

// Where the port list looks: $V7300_DEV_DIR when set (tests), otherwise /dev.
std::string SerialDeviceFolder();

} // namespace v7300
