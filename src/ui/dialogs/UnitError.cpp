#include "ui/dialogs/UnitError.h"

#include "core/Error.h"
#include "core/MessagePort.h"
#include "ui/app/ActionLog.h"
#include "ui/app/DarkLook.h"
#include "ui/dialogs/ErrorReport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <cxxabi.h>
#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace v7300 {

namespace {

TFrmError*& installed() {
    static TFrmError* window = nullptr;
    return window;
}

std::string demangle(const char* name) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> text(abi::__cxa_demangle(name, nullptr, nullptr, &status), std::free);
    return status == 0 && text ? std::string(text.get()) : std::string(name);
}

std::string originName(const QObject* origin) {
    return origin ? std::string(origin->metaObject()->className()) : std::string("?");
}

} // namespace

TFrmError::TFrmError(MessagePort& messages, QWidget* parent) : QDialog(parent), messages_(messages) {
    setWindowTitle(QStringLiteral("Hinweis"));
    setFixedSize(371, 303);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    SetColours(*this, Qt::black, Qt::white);

    auto* title = new QLabel(QStringLiteral("Es ist ein Fehler aufgetreten. "), this);
    title->setStyleSheet(QStringLiteral("color: red; font-weight: bold; font-size: 12pt;"));
    title->move(8, 8);
    ErrorBox = new QPlainTextEdit(this);
    ErrorBox->setReadOnly(true);
    ErrorBox->setStyleSheet(QStringLiteral("background: white; color: black;"));
    ErrorBox->setGeometry(8, 33, 353, 64);
    auto* hint = new QLabel(QStringLiteral("Bitte beschreibe hier wann der Fehler aufgetreten ist:"), this);
    hint->move(8, 106);
    CommentBox = new QPlainTextEdit(this);
    CommentBox->setGeometry(8, 123, 353, 89);
    auto* userLabel = new QLabel(QStringLiteral("Homepage Benutzername für Rückfragen:"), this);
    userLabel->move(8, 218);
    UserName = new QLineEdit(QStringLiteral("Gast"), this);
    UserName->setGeometry(8, 237, 353, 21);
    // The fields the user types into stand out from the black window.
    for (QWidget* field : {static_cast<QWidget*>(CommentBox), static_cast<QWidget*>(UserName)})
        SetColours(*field, look::kDark, Qt::white);
    ButtonClose = new QPushButton(QStringLiteral("Schließen"), this);
    ButtonClose->setGeometry(8, 268, 105, 25);
    ButtonSend = new QPushButton(QStringLiteral("Fehlerbericht senden"), this);
    ButtonSend->setGeometry(230, 270, 131, 25);
    connect(ButtonClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(ButtonSend, &QPushButton::clicked, this, [this] { Guarded(this, [this] { SendReport(); }); });
}

void TFrmError::ShowException(const std::string& originClass, const std::string& errorClass,
                              const std::string& message) {
    ErrorBox->setPlainText(QString::fromStdString("ClassName: " + originClass + "\nErrorType: " + errorClass +
                                                  "\nErrorMessage: " + message));
    CommentBox->setPlainText(QStringLiteral("Wann ist der Fehler aufgetreten?\nBei welcher Aktion ist er "
                                            "aufgetreten?\nIst der Fehler reproduzierbar?"));
    if (showing_) return; // a second error while the window is open only updates its text
    if (!ExecModal) {
        show();
        return;
    }
    showing_ = true;
    exec();
    showing_ = false;
}

void TFrmError::SendReport() {
    const std::string url = ReportUrl ? ReportUrl() : std::string();
    if (url.empty()) {
        messages_.showHint("Es ist kein Server für Fehlerberichte eingestellt (config.ini, [config] "
                           "errorReportUrl). Der Bericht wurde nicht gesendet.");
        return;
    }
    ButtonSend->setEnabled(false);
    ButtonSend->setText(QStringLiteral("... Sende ..."));
    TErrorReportForm report;
    report.error = ErrorBox->toPlainText().replace('\n', QStringLiteral("\r\n")).toStdString();
    report.msg = CommentBox->toPlainText().replace('\n', QStringLiteral("\r\n")).toStdString();
    report.user = UserName->text().toStdString();
    report.actionlist = ActionLogLines();
    const TPostResult result = PostErrorReport(url, BuildErrorReportBody(report));
    if (result.ok) {
        messages_.showPlain(result.body);
        accept();
    } else {
        // Nothing was delivered: the user may try again.
        ButtonSend->setEnabled(true);
        ButtonSend->setText(QStringLiteral("Fehlerbericht senden"));
        messages_.showError("Der Fehlerbericht konnte nicht gesendet werden: " + result.error);
    }
}

void SetErrorReportWindow(TFrmError* window) { installed() = window; }
TFrmError* ErrorReportWindow() { return installed(); }

void ReportException(const QObject* origin, const std::exception& error) {
    LogAction("Exception: " + userMessage(error));
    if (TFrmError* window = installed())
        window->ShowException(originName(origin), demangle(typeid(error).name()), userMessage(error));
}

void ReportUnknownException(const QObject* origin) {
    LogAction("Exception: ?");
    if (TFrmError* window = installed()) window->ShowException(originName(origin), "?", "Unbekannter Fehler");
}

} // namespace v7300
