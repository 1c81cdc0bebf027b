// ping and emulate on 127.0.0.1.
#include "cli/Cli.h"
#include "ServedController.h"
#include "support/CliRun.h"
#include "core/Clock.h"
#include "device/VirtualController.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <csignal>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace v7300 {
namespace {

using Result = test::CliResult;
using test::runCli;

using test::ServedController;
using test::unusedPort;

TEST(PingCommand, PrintsOneLinePerReplyAndTheCount) {
    ServedController vc(2);
    const Result r = runCli({"ping", "127.0.0.1", "--count", "3", "--port", std::to_string(vc.port())});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "reply from 127.0.0.1: clients 2\nreply from 127.0.0.1: clients 2\n"
                     "reply from 127.0.0.1: clients 2\n3/3\n");
}

TEST(PingCommand, NoReplyExitsWithOne) {
    const Result r = runCli({"ping", "127.0.0.1", "--count", "1", "--port", std::to_string(unusedPort())});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "0/1\n");
}

TEST(PingCommand, BadUsageExitsWithTwo) {
    EXPECT_EQ(runCli({"ping"}).status, 2);
    EXPECT_EQ(runCli({"ping", "127.0.0.1", "--count", "0"}).status, 2);
    EXPECT_EQ(runCli({"ping", "127.0.0.1", "--port", "x"}).status, 2);
}

TEST(EmulateCommand, TakenPortIsReportedPlainly) {
    ServedController holder(0);
    const Result r = runCli({"emulate", "--port", std::to_string(holder.port())});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("schon belegt"), std::string::npos) << r.err;
}

TEST(EmulateCommand, BadOptionsExitWithTwo) {
    EXPECT_EQ(runCli({"emulate", "--bus", "5:X:0.2:4"}).status, 2);
    const std::string port = std::to_string(unusedPort());
    EXPECT_EQ(runCli({"emulate", "--port", port, "--input", "1"}).status, 2);
    EXPECT_EQ(runCli({"emulate", "--port", port, "--firmware", "2.2"}).status, 2);
    EXPECT_EQ(runCli({"emulate", "--port", port, "--input", "12=1"}).status, 2);
    EXPECT_EQ(runCli({"emulate", "--port", "0"}).status, 2);
}

// The real program: answers pings, takes input lines on stdin, ends cleanly on SIGTERM.
TEST(EmulateCommand, RunsUntilTerminatedAndAnswers) {
    const std::string exe = std::string(V7300_BINARY_DIR) + "/bin/v7300";
    ASSERT_EQ(::access(exe.c_str(), X_OK), 0) << "build the v7300 program first";
    const std::uint16_t port = unusedPort();
    int in[2], out[2];
    ASSERT_EQ(::pipe(in), 0);
    ASSERT_EQ(::pipe(out), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::close(in[1]);
        ::close(out[0]);
        const std::string portText = std::to_string(port);
        ::execl(exe.c_str(), exe.c_str(), "emulate", "--port", portText.c_str(), "--clients", "1", nullptr);
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    std::string output;
    auto readUntil = [&](const std::string& text) {
        for (int i = 0; i < 100 && output.find(text) == std::string::npos; ++i) {
            pollfd p{out[0], POLLIN, 0};
            if (::poll(&p, 1, 50) > 0) {
                char buf[512];
                const ssize_t n = ::read(out[0], buf, sizeof buf);
                if (n <= 0) break;
                output.append(buf, static_cast<std::size_t>(n));
            }
        }
        return output.find(text) != std::string::npos;
    };
    EXPECT_TRUE(readUntil("Strg+C")) << output;
    const Result r = runCli({"ping", "127.0.0.1", "--count", "1", "--port", std::to_string(port)});
    EXPECT_EQ(r.out, "reply from 127.0.0.1: clients 1\n1/1\n");
    const std::string line = "input 3 1\n";
    ASSERT_EQ(::write(in[1], line.data(), line.size()), static_cast<ssize_t>(line.size()));
    EXPECT_TRUE(readUntil("Eingang 3 = 1")) << output;
    ::kill(pid, SIGTERM);
    EXPECT_TRUE(readUntil("Emulator beendet.")) << output;
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ::close(in[1]);
    ::close(out[0]);
}

} // namespace
} // namespace v7300

namespace v7300 {
namespace {

// Answers every request on 127.0.0.1 twice: from its own socket, and from a
// second host address (127.0.0.2) as another device on the network would.
class TwoVoicedPeer {
public:
    TwoVoicedPeer() : own_(bound("127.0.0.1")), other_(bound("127.0.0.2")) {
        thread_ = std::thread([this] {
            while (!stop_) {
                pollfd p{own_, POLLIN, 0};
                if (::poll(&p, 1, 10) <= 0) continue;
                std::uint8_t buf[300];
                sockaddr_in from{};
                socklen_t len = sizeof from;
                if (::recvfrom(own_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len) <= 0) continue;
                TV7300Telegram reply;
                reply.Command = CmdPing;
                reply.Kind = 4;
                reply.Payload = {5};
                const auto d = BuildDatagram(reply);
                for (int fd : {other_, own_})
                    ::sendto(fd, d.data(), d.size(), 0, reinterpret_cast<const sockaddr*>(&from), len);
            }
        });
    }
    ~TwoVoicedPeer() {
        stop_ = true;
        thread_.join();
        ::close(own_);
        ::close(other_);
    }
    std::uint16_t port() const {
        sockaddr_in a{};
        socklen_t len = sizeof a;
        ::getsockname(own_, reinterpret_cast<sockaddr*>(&a), &len);
        return ntohs(a.sin_port);
    }

private:
    static int bound(const char* address) {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        ::inet_pton(AF_INET, address, &a.sin_addr);
        EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0) << address;
        return fd;
    }
    int own_;
    int other_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

TEST(PingCommand, CountsOnlyRepliesFromThePingedAddress) {
    TwoVoicedPeer peer;
    const Result r = runCli({"ping", "127.0.0.1", "--count", "2", "--port", std::to_string(peer.port())});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "reply from 127.0.0.1: clients 5\nreply from 127.0.0.1: clients 5\n2/2\n");
}

} // namespace
} // namespace v7300
