#pragma once
// The message port of the editor: a modal QMessageBox with the caption, icon and
// buttons asked for, answering with the button pressed.
#include "core/MessagePort.h"

class QWidget;

namespace v7300 {

class TQtMessagePort : public MessagePort {
public:
    explicit TQtMessagePort(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    MsgButton show(const Message& message) override;

private:
    QWidget* parent_;
};

} // namespace v7300
