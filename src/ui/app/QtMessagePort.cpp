#include "ui/app/QtMessagePort.h"

#include <QMessageBox>
#include <QString>

namespace v7300 {

namespace {

struct ButtonMap {
    MsgButton ours;
    QMessageBox::StandardButton qt;
};

constexpr ButtonMap kButtons[] = {
    {MbOk, QMessageBox::Ok},         {MbCancel, QMessageBox::Cancel}, {MbYes, QMessageBox::Yes},
    {MbNo, QMessageBox::No},         {MbAbort, QMessageBox::Abort},   {MbRetry, QMessageBox::Retry},
    {MbIgnore, QMessageBox::Ignore},
};

QMessageBox::Icon qtIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Error: return QMessageBox::Critical;
    case MsgIcon::Warning: return QMessageBox::Warning;
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

MsgButton TQtMessagePort::show(const Message& message) {
    QMessageBox box(parent_);
    box.setWindowTitle(QString::fromStdString(message.caption));
    // The core writes line ends as CR LF; a box shows LF.
    QString text = QString::fromStdString(message.text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box.setText(text);
    box.setIcon(qtIcon(message.icon));
    QMessageBox::StandardButtons buttons;
    for (const auto& b : kButtons)
        if (message.buttons & b.ours) buttons |= b.qt;
    if (!buttons) buttons = QMessageBox::Ok;
    box.setStandardButtons(buttons);
    for (const auto& b : kButtons)
        if (message.defaultButton == b.ours && (message.buttons & b.ours)) box.setDefaultButton(b.qt);
    const int pressed = box.exec();
    for (const auto& b : kButtons)
        if (pressed == b.qt) return b.ours;
    // Closed with Escape or the window's close button: the cancelling answer.
    if (message.buttons & MbCancel) return MbCancel;
    if (message.buttons & MbNo) return MbNo;
    return message.defaultButton;
}

} // namespace v7300
