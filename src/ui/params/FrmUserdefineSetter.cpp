#include "ui/params/FrmUserdefineSetter.h"

#include "ui/app/DarkLook.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

#include <algorithm>

namespace v7300 {

TFrmUserdefineSetter::TFrmUserdefineSetter(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Fehler:"));
    setFixedSize(352, 99);
    SetColours(*this, Qt::black, Qt::white);
    ErrorPanel = new QWidget(this);
    ErrorPanel->setGeometry(0, 0, 352, 30);
    ErrorPanel->setStyleSheet(QStringLiteral("background: rgb(255,128,0);"));
    Header = new QLabel(QStringLiteral("Baustein - Editieren"), ErrorPanel);
    Header->setStyleSheet(QStringLiteral("color: black; font-weight: bold; font-size: 21px;"));
    Header->setGeometry(4, 2, 300, 26);
    PanelOK = new QLabel(QStringLiteral("OK"), ErrorPanel);
    PanelOK->setAlignment(Qt::AlignCenter);
    PanelOK->setStyleSheet(QStringLiteral("background: black; color: red; font-weight: bold; font-size: 12px;"));
    PanelOK->setGeometry(352 - 35 - 4, 3, 35, 23);
    Label = new QLabel(QStringLiteral("Das sollte man niemals sehen!!!!"), this);
    Label->setStyleSheet(QStringLiteral("color: red; font-weight: bold; font-size: 19px;"));
    // The label is never cut: the dialog widens when the font needs more than its design width.
    Label->ensurePolished();
    const int labelWidth = std::max(336, Label->sizeHint().width());
    Label->setGeometry(8, 45, labelWidth, std::max(30, Label->sizeHint().height()));
    if (labelWidth > 336) {
        setFixedSize(labelWidth + 16, 99);
        ErrorPanel->setGeometry(0, 0, width(), 30);
        PanelOK->move(width() - 35 - 4, 3);
    }
    for (QObject* o : {static_cast<QObject*>(ErrorPanel), static_cast<QObject*>(Header),
                       static_cast<QObject*>(PanelOK), static_cast<QObject*>(Label)})
        o->installEventFilter(this);
}

void TFrmUserdefineSetter::StartParamSet(TLogicComponentList&, int) {}
void TFrmUserdefineSetter::EndParamSet(TLogicComponentList&, int) {}

bool TFrmUserdefineSetter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (watched == PanelOK || watched == Label) {
            accept();
            return true;
        }
        dragFrom_ = me->globalPosition().toPoint() - frameGeometry().topLeft();
        return true;
    }
    if (event->type() == QEvent::MouseMove && (watched == ErrorPanel || watched == Header)) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->buttons() & Qt::LeftButton) move(me->globalPosition().toPoint() - dragFrom_);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace v7300
