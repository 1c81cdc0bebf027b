// TCommPortDriver on pseudo-terminals, and the port list of the flashing window.
#include "device/CPDrv.h"
#include "support/Pty.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace v7300::test {
namespace {

TEST(CommPortDriver, PortNumberNamesTheBuiltInPortAndANameResetsTheNumber) {
    TCommPortDriver d;
    EXPECT_EQ(d.Port(), 2);
    EXPECT_EQ(d.PortName(), "/dev/ttyS1");
    d.SetPort(1);
    EXPECT_EQ(d.PortName(), "/dev/ttyS0");
    d.SetPortName("/dev/ttyUSB0");
    EXPECT_EQ(d.Port(), 0);
    EXPECT_EQ(d.BaudRateValue(), 9600u);
}

TEST(CommPortDriver, ConnectAppliesRawEightNoneOneAtTheChosenSpeed) {
    Pty pty;
    TCommPortDriver d;
    d.SetPortName(pty.slave());
    d.SetBaudRate(br115200);
    ASSERT_TRUE(d.Connect());
    termios t{};
    ASSERT_EQ(::tcgetattr(d.Descriptor(), &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B115200));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
}

TEST(CommPortDriver, SoftwareHandshakeUsesXonSeventeenAndXoffNineteen) {
    Pty pty;
    TCommPortDriver d;
    d.SetPortName(pty.slave());
    d.SwFlow = sfXONXOFF;
    ASSERT_TRUE(d.Connect());
    termios t{};
    ASSERT_EQ(::tcgetattr(d.Descriptor(), &t), 0);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
    EXPECT_EQ(t.c_cc[VSTART], 17);
    EXPECT_EQ(t.c_cc[VSTOP], 19);
}

TEST(CommPortDriver, ASpeedThePlatformLacksDoesNotOpen) {
    Pty pty;
    TCommPortDriver d;
    d.SetPortName(pty.slave());
    d.SetBaudRate(br14400);
    EXPECT_FALSE(d.Connect());
    EXPECT_FALSE(d.Connected());
}

TEST(CommPortDriver, PollingDeliversReceivedBytesOncePerPollingDelay) {
    Pty pty;
    TCommPortDriver d;
    d.SetPortName(pty.slave());
    ASSERT_TRUE(d.Connect());
    std::string received;
    d.OnReceiveData = [&](const char* data, std::size_t n) { received.append(data, n); };
    ASSERT_EQ(::write(pty.master(), "abc", 3), 3);
    ::tcdrain(pty.master());
    d.Tick(1000);
    EXPECT_EQ(received, "abc");
    ASSERT_EQ(::write(pty.master(), "d", 1), 1);
    d.Tick(1020); // within the 50 ms polling delay
    EXPECT_EQ(received, "abc");
    d.Tick(1050);
    EXPECT_EQ(received, "abcd");
}

TEST(CommPortDriver, SendDataReachesTheOtherEnd) {
    Pty pty;
    TCommPortDriver d;
    d.SetPortName(pty.slave());
    ASSERT_TRUE(d.Connect());
    EXPECT_EQ(d.SendData("xy", 2), 2u);
    char buf[8] = {};
    EXPECT_EQ(::read(pty.master(), buf, sizeof buf), 2);
    EXPECT_EQ(std::string(buf, 2), "xy");
}

TEST(CommPortDriver, AnOpenPortIsHeldExclusivelyAndItsNameStaysUntilClosed) {
    Pty pty;
    TCommPortDriver first, second;
    first.SetPortName(pty.slave());
    second.SetPortName(pty.slave());
    ASSERT_TRUE(first.Connect());
    first.SetPortName("/dev/null");
    EXPECT_EQ(first.PortName(), pty.slave());
    EXPECT_FALSE(second.Connect());
    first.Disconnect();
    EXPECT_TRUE(second.Connect());
}

TEST(CommPortDriver, AFileThatIsNoTerminalDoesNotOpen) {
    TempDir dir;
    writeFile(dir.file("ttyS0"), "x");
    TCommPortDriver d;
    d.SetPortName(dir.file("ttyS0"));
    EXPECT_FALSE(d.Connect());
}

TEST(SerialPortList, ListsTheOpenableSerialDevicesInNaturalOrder) {
    TempDir dir;
    Pty s1, usb2, usb10, acm0;
    ASSERT_FALSE(s1.slave().empty());
    ASSERT_EQ(::symlink(usb10.slave().c_str(), dir.file("ttyUSB10").c_str()), 0);
    ASSERT_EQ(::symlink(usb2.slave().c_str(), dir.file("ttyUSB2").c_str()), 0);
    ASSERT_EQ(::symlink(s1.slave().c_str(), dir.file("ttyS1").c_str()), 0);
    ASSERT_EQ(::symlink(acm0.slave().c_str(), dir.file("ttyACM0").c_str()), 0);
    ASSERT_EQ(::symlink(acm0.slave().c_str(), dir.file("ttyUSBx").c_str()), 0); // not a port name
    writeFile(dir.file("ttyS7"), "");                                            // no terminal
    ASSERT_EQ(::symlink("/nonexistent/tty", dir.file("ttyACM3").c_str()), 0);   // missing
    // Another program holds ttyACM0 exclusively.
    const int held = ::open(acm0.slave().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::ioctl(held, TIOCEXCL), 0);

    EXPECT_EQ(SerialPortCandidates(dir.path()),
              (std::vector<std::string>{dir.file("ttyACM0"), dir.file("ttyACM3"), dir.file("ttyS1"),
                                        dir.file("ttyS7"), dir.file("ttyUSB2"), dir.file("ttyUSB10")}));
    EXPECT_EQ(AvailableSerialPorts(dir.path()),
              (std::vector<std::string>{dir.file("ttyS1"), dir.file("ttyUSB2"), dir.file("ttyUSB10")}));
    ::close(held);
}

TEST(SerialPortList, NoFolderMeansNoPorts) { EXPECT_TRUE(AvailableSerialPorts("/nonexistent-dev").empty()); }

} // namespace
} // namespace v7300::test
