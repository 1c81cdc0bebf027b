#pragma once
// The window's open and save dialogs as the file controller asks for them.
#include "project/FileController.h"
#include "ui/dialogs/FileDialogs.h"

#include <QPointer>
#include <QWidget>

namespace v7300 {

class TWindowFileDialogs : public TFileDialogPort {
  public:
    TWindowFileDialogs(TFileDialogs& dialogs, QWidget* parent) : dialogs_(dialogs), parent_(parent) {}
    std::string OpenFile(const std::string& filter, const std::string& defaultExt) override {
        return dialogs_.OpenFile(parent_, filter, defaultExt);
    }
    std::string SaveFile(const std::string& filter, const std::string& defaultExt) override {
        return dialogs_.SaveFile(parent_, filter, defaultExt);
    }

  private:
    TFileDialogs& dialogs_;
    QPointer<QWidget> parent_;
};

} // namespace v7300
