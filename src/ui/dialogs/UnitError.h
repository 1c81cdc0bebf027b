#pragma once
// The error report window: shows an error that no handler caught, takes a comment
// and the user name, and sends a report with the action log.
#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QPlainTextEdit;
class QLineEdit;
class QPushButton;

namespace v7300 {

class MessagePort;

class TFrmError : public QDialog {
    Q_OBJECT
public:
    explicit TFrmError(MessagePort& messages, QWidget* parent = nullptr);

    // Fills the error box and the comment box and shows the window (modally unless ExecModal is off).
    void ShowException(const std::string& originClass, const std::string& errorClass, const std::string& message);
    // "Fehlerbericht senden".
    void SendReport();

    // The report service's address (config.ini [config] errorReportUrl); empty when none is configured.
    std::function<std::string()> ReportUrl;
    bool ExecModal = true;

    QPlainTextEdit* ErrorBox = nullptr;
    QPlainTextEdit* CommentBox = nullptr;
    QLineEdit* UserName = nullptr;
    QPushButton* ButtonClose = nullptr;
    QPushButton* ButtonSend = nullptr;

private:
    MessagePort& messages_;
    bool showing_ = false;
};

// The window that every uncaught exception is handed to (none: the exception is dropped).
void SetErrorReportWindow(TFrmError* window);
TFrmError* ErrorReportWindow();
// Reports an exception caught at a handler's entry: the window, when one is installed.
void ReportException(const QObject* origin, const std::exception& error);
void ReportUnknownException(const QObject* origin);
// Runs a handler body and reports what escapes it.
template <typename F>
void Guarded(const QObject* origin, F&& body) {
    try {
        body();
    } catch (const std::exception& e) {
        ReportException(origin, e);
    } catch (...) {
        ReportUnknownException(origin);
    }
}

} // namespace v7300
