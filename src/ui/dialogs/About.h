#pragma once
// The about box "Info über": picture, product name and version.
#include <QDialog>

class QLabel;

namespace v7300 {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
};

} // namespace v7300
