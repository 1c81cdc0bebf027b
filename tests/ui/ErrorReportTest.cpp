// The error report window, its post to the report service (a listener on
// 127.0.0.1) and the action log it sends.
#include "EditorFixture.h"

#include "core/Error.h"
#include "ui/app/ActionLog.h"
#include "ui/dialogs/ErrorReport.h"
#include "ui/dialogs/UnitError.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

namespace v7300::test {
namespace {

// Accepts one HTTP request on 127.0.0.1, keeps it, and answers with the body given.
class OneShotHttpListener {
public:
    explicit OneShotHttpListener(std::string reply) : reply_(std::move(reply)) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        ::listen(fd_, 1);
        thread_ = std::thread([this] { serve(); });
    }
    ~OneShotHttpListener() {
        ::shutdown(fd_, SHUT_RDWR);
        if (thread_.joinable()) thread_.join();
        ::close(fd_);
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/error.php"; }
    std::string Request() {
        if (thread_.joinable()) thread_.join();
        return request_;
    }

private:
    void serve() {
        const int client = ::accept(fd_, nullptr, nullptr);
        if (client < 0) return;
        char buffer[4096];
        std::size_t expected = std::string::npos;
        while (true) {
            const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            request_.append(buffer, static_cast<std::size_t>(n));
            const auto headerEnd = request_.find("\r\n\r\n");
            if (headerEnd != std::string::npos && expected == std::string::npos) {
                const auto cl = request_.find("Content-Length: ");
                expected = headerEnd + 4 + std::stoul(request_.substr(cl + 16));
            }
            if (request_.size() >= expected) break;
        }
        const std::string response = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                                     std::to_string(reply_.size()) + "\r\nConnection: close\r\n\r\n" + reply_;
        ::send(client, response.data(), response.size(), 0);
        ::close(client);
    }
    std::string reply_;
    int fd_ = -1;
    std::uint16_t port_ = 0;
    std::thread thread_;
    std::string request_;
};

TEST(ActionLogTest, KeepsTheLast100LinesOldestFirstWithTheTime) {
    VirtualClock clock({2026, 3, 1, 9, 5, 7, 0});
    SetActionLogClock(&clock);
    ClearActionLog();
    for (int i = 1; i <= 150; ++i) LogAction("Aktion " + std::to_string(i));
    const auto lines = ActionLogLines();
    SetActionLogClock(nullptr);
    ASSERT_EQ(lines.size(), 100u);
    EXPECT_EQ(lines.front(), "09:05:07 >> Aktion 51");
    EXPECT_EQ(lines.back(), "09:05:07 >> Aktion 150");
}

TEST(ErrorReportTest, BodyHasTheSixFieldsInOrderWithTheUserIn8Bit) {
    TErrorReportForm report;
    report.error = "ErrorMessage: ä";
    report.msg = "Grüße & mehr";
    report.user = "Jörg";
    report.actionlist = {"a", "b"};
    EXPECT_EQ(BuildErrorReportBody(report),
              "error=ErrorMessage%3A+%C3%A4&msg=Gr%C3%BC%C3%9Fe+%26+mehr&user=J%F6rg&version=2.2.2&protype=BETA"
              "&actionlist=a%0D%0Ab%0D%0A");
}

class ErrorWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQApplication();
        window = std::make_unique<TFrmError>(messages);
        window->ExecModal = false;
        SetErrorReportWindow(window.get());
    }
    void TearDown() override { SetErrorReportWindow(nullptr); }
    RecordingMessagePort messages;
    std::unique_ptr<TFrmError> window;
};

TEST_F(ErrorWindowTest, AnExceptionInAHandlerFillsTheWindowAndTheProgramGoesOn) {
    QObject origin;
    EXPECT_NO_THROW(Guarded(&origin, [] { throw Error("Kaputt"); }));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->ErrorBox->toPlainText(),
              QStringLiteral("ClassName: QObject\nErrorType: v7300::Error\nErrorMessage: Kaputt"));
    EXPECT_TRUE(window->CommentBox->toPlainText().startsWith(QStringLiteral("Wann ist der Fehler aufgetreten?")));
    EXPECT_EQ(window->UserName->text(), QStringLiteral("Gast"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Hinweis"));
}

TEST_F(ErrorWindowTest, SendPostsTheFormToTheConfiguredServerAndShowsTheReply) {
    OneShotHttpListener listener("Danke!");
    ClearActionLog();
    LogAction("Open");
    window->ReportUrl = [&] { return listener.Url(); };
    window->ShowException("TForm2", "v7300::Error", "x");
    window->CommentBox->setPlainText(QStringLiteral("Öffnen"));
    window->UserName->setText(QStringLiteral("Jörg"));
    window->SendReport();
    const std::string request = listener.Request();
    EXPECT_EQ(request.rfind("POST /error.php HTTP/1.1", 0), 0u);
    EXPECT_NE(request.find("Content-Type: application/x-www-form-urlencoded"), std::string::npos);
    const std::string body = request.substr(request.find("\r\n\r\n") + 4);
    EXPECT_EQ(body.rfind("error=ClassName%3A+TForm2%0D%0AErrorType%3A+v7300%3A%3AError%0D%0AErrorMessage%3A+x"
                         "&msg=%C3%96ffnen&user=J%F6rg&version=2.2.2&protype=BETA&actionlist=",
                         0),
              0u)
        << body;
    EXPECT_NE(body.find("+%3E%3E+Open%0D%0A"), std::string::npos);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Danke!");
    EXPECT_EQ(messages.messages[0].caption, "");
    EXPECT_FALSE(window->ButtonSend->isEnabled());
    EXPECT_EQ(window->ButtonSend->text(), QStringLiteral("... Sende ..."));
}

TEST_F(ErrorWindowTest, WithoutAServerNothingIsPostedAndTheUserIsTold) {
    window->ReportUrl = [] { return std::string(); };
    window->ShowException("TForm2", "v7300::Error", "x");
    window->SendReport();
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_NE(messages.messages[0].text.find("errorReportUrl"), std::string::npos);
    EXPECT_TRUE(window->ButtonSend->isEnabled());
}

TEST_F(ErrorWindowTest, AnUnreachableServerKeepsTheSendButtonForAnotherTry) {
    // A port that was just free: the connection is refused.
    std::string url;
    {
        OneShotHttpListener probe("");
        url = probe.Url();
        // connect once so that the listener thread ends
        TPostResult r = PostErrorReport(url, "a=b", 5);
        EXPECT_TRUE(r.ok);
    }
    window->ReportUrl = [&] { return url; };
    window->SendReport();
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].caption, "Fehler");
    EXPECT_TRUE(window->ButtonSend->isEnabled());
    EXPECT_EQ(window->ButtonSend->text(), QStringLiteral("Fehlerbericht senden"));
}

} // namespace
} // namespace v7300::test
