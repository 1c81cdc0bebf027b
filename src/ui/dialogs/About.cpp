#include "ui/dialogs/About.h"

#include "ui/dialogs/UnitStart.h"
#include "ui/app/Version.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace v7300 {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Info über"));
    setFixedSize(345, 146);
    auto* panel = new QFrame(this);
    panel->setGeometry(8, 8, 329, 97);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setStyleSheet(QStringLiteral("QFrame { background: white; } QLabel { color: black; }"));
    auto* picture = new QLabel(panel);
    picture->setGeometry(9, 8, 98, 76);
    picture->setPixmap(QPixmap::fromImage(ProgramPicture(98, 76)));
    ProductName = new QLabel(QString::fromUtf8(kApplicationTitle), panel);
    QFont f = ProductName->font();
    f.setBold(true);
    ProductName->setFont(f);
    ProductName->move(134, 16);
    Version = new QLabel(QStringLiteral("Version: ") + QString::fromLatin1(kVersion), panel);
    Version->move(134, 40);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(142, 111, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace v7300
