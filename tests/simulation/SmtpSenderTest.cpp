#include "simulation/SmtpSender.h"

#include "core/Error.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

namespace v7300 {
namespace {

// A one-connection SMTP server on 127.0.0.1 that records what the client sends.
class FakeSmtpServer {
public:
    explicit FakeSmtpServer(std::string rcptReply = "250 OK") : rcptReply_(std::move(rcptReply)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listener_, 1) != 0)
            throw std::runtime_error("listen failed");
        socklen_t len = sizeof addr;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~FakeSmtpServer() {
        if (thread_.joinable()) thread_.join();
        ::close(listener_);
    }
    int port() const { return port_; }
    // Available after the client is done (joins the server).
    const std::vector<std::string>& lines() {
        if (thread_.joinable()) thread_.join();
        return lines_;
    }

private:
    bool ReadLine(int fd, std::string& line) {
        line.clear();
        for (;;) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 5000) <= 0) return false;
            char c = 0;
            if (::recv(fd, &c, 1, 0) != 1) return false;
            if (c == '\n') {
                if (!line.empty() && line.back() == '\r') line.pop_back();
                return true;
            }
            line += c;
        }
    }
    void Send(int fd, const std::string& text) { (void)!::send(fd, text.data(), text.size(), MSG_NOSIGNAL); }

    void Serve() {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0) return;
        const int fd = ::accept(listener_, nullptr, nullptr);
        if (fd < 0) return;
        Send(fd, "220 fake ESMTP\r\n");
        std::string line;
        bool data = false;
        while (ReadLine(fd, line)) {
            lines_.push_back(line);
            if (data) {
                if (line == ".") {
                    data = false;
                    Send(fd, "250 queued\r\n");
                }
                continue;
            }
            if (line.rfind("EHLO", 0) == 0) Send(fd, "250-fake\r\n250 AUTH PLAIN\r\n");
            else if (line == "AUTH PLAIN") Send(fd, "334 \r\n");
            else if (line.rfind("AUTH PLAIN ", 0) == 0 || (lines_.size() > 1 && lines_[lines_.size() - 2] == "AUTH PLAIN"))
                Send(fd, "235 ok\r\n");
            else if (line.rfind("RCPT", 0) == 0) Send(fd, rcptReply_ + "\r\n");
            else if (line == "DATA") {
                Send(fd, "354 go\r\n");
                data = true;
            } else if (line == "QUIT") {
                Send(fd, "221 bye\r\n");
                break;
            } else Send(fd, "250 OK\r\n");
        }
        ::close(fd);
    }

    std::string rcptReply_;
    int listener_ = -1;
    int port_ = 0;
    std::vector<std::string> lines_;
    std::thread thread_;
};

SmtpMessage message(int port) {
    SmtpMessage m;
    m.Host = "127.0.0.1";
    m.Port = port;
    m.User = "user";
    m.Password = "pw";
    m.Sender = "sim@test";
    m.Recipients = {"a@x.de", "b@y.de"};
    m.Subject = "V7300-Logik Message";
    m.Body = " Heizung aus";
    return m;
}

bool has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(CurlSmtpSender, SendsTheMailWithLoginSenderRecipientsAndSubject) {
    FakeSmtpServer server;
    CurlSmtpSender sender(5);
    ASSERT_NO_THROW(sender.Send(message(server.port())));
    const auto& lines = server.lines();
    EXPECT_TRUE(has(lines, "AUTH PLAIN AHVzZXIAcHc=") || has(lines, "AHVzZXIAcHc=")); // "\0user\0pw"
    EXPECT_TRUE(has(lines, "MAIL FROM:<sim@test>"));
    EXPECT_TRUE(has(lines, "RCPT TO:<a@x.de>"));
    EXPECT_TRUE(has(lines, "RCPT TO:<b@y.de>"));
    EXPECT_TRUE(has(lines, "Subject: V7300-Logik Message"));
    EXPECT_TRUE(has(lines, "To: a@x.de, b@y.de"));
    EXPECT_TRUE(has(lines, " Heizung aus"));
}

TEST(CurlSmtpSender, RefusedRecipientRaisesAnError) {
    FakeSmtpServer server("550 no such user");
    CurlSmtpSender sender(5);
    EXPECT_THROW(sender.Send(message(server.port())), Error);
    server.lines();
}

TEST(CurlSmtpSender, UnreachableServerRaisesAnError) {
    int port = 0;
    {
        // A port that was just free and is closed again.
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
        port = ntohs(addr.sin_port);
        ::close(s);
    }
    CurlSmtpSender sender(5);
    EXPECT_THROW(sender.Send(message(port)), Error);
}

} // namespace
} // namespace v7300
