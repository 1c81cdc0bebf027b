#include "ui/params/FrmLCD.h"

#include "ui/app/DarkLook.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace v7300::params {
namespace {

QFont monoFont(int pixels) {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setFamily(QStringLiteral("DejaVu Sans Mono"));
    f.setStyleHint(QFont::Monospace);
    f.setPixelSize(pixels);
    return f;
}

template <class W> W* place(W* w, const TParamControl& c) {
    w->setObjectName(QString::fromStdString(c.name));
    w->setGeometry(c.x, c.y, c.w, c.h);
    return w;
}

} // namespace

TFrmLCD::TFrmLCD(QWidget* parent) : TFrmUserdefineSetter(*FindParamDialog("LCD"), parent) {
    editZeile1 = place(new QLineEdit(this), *Spec->Control("editZeile1"));
    editZeile2 = place(new QLineEdit(this), *Spec->Control("editZeile2"));
    for (QLineEdit* e : {editZeile1, editZeile2}) {
        e->setMaxLength(kLcdWidth);
        e->setFont(monoFont(16));
    }
    auto combo = [this](const char* name) {
        const TParamControl& c = *Spec->Control(name);
        auto* box = place(new QComboBox(this), c);
        for (const auto& item : c.items) box->addItem(QString::fromStdString(item));
        return box;
    };
    cbType = combo("cbType");
    cbZeile = combo("cbZeile");
    cbSpalte = combo("cbSpalte");
    const TParamControl& preview = *Spec->Control("panelPreview");
    panelPreview = place(new QWidget(this), preview);
    SetColours(*panelPreview, QColor(0, 0, 128), Qt::white);
    lblZeile1 = new QLabel(panelPreview);
    lblZeile2 = new QLabel(panelPreview);
    const int lineHeight = (preview.h - 20) / 2;
    lblZeile1->setGeometry(14, 10, preview.w - 28, lineHeight);
    lblZeile2->setGeometry(14, 10 + lineHeight, preview.w - 28, lineHeight);
    for (QLabel* l : {lblZeile1, lblZeile2}) {
        l->setFont(monoFont(26));
        l->setTextFormat(Qt::PlainText);
    }
    for (const TParamControl& c : Spec->controls)
        if (!c.label.empty() && c.side != TLabelSide::None) AddLabel(c);
    panelMoveForm->raise();
    timer_ = new QTimer(this);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, &TFrmLCD::RefreshPreview);
}

void TFrmLCD::showEvent(QShowEvent* event) {
    TFrmUserdefineSetter::showEvent(event);
    RefreshPreview();
    timer_->start();
}

void TFrmLCD::hideEvent(QHideEvent* event) {
    timer_->stop();
    TFrmUserdefineSetter::hideEvent(event);
}

TLcdParams TFrmLCD::Params() const {
    return {editZeile1->text().toStdString(), editZeile2->text().toStdString(), cbType->currentIndex(),
            cbZeile->currentIndex(), cbSpalte->currentIndex()};
}

void TFrmLCD::StartParamSet(TLogicComponentList& components, int index) {
    const TLcdParams p = ReadLcdParams(components.Items(index).Variables);
    editZeile1->setText(QString::fromStdString(p.Line1));
    editZeile2->setText(QString::fromStdString(p.Line2));
    cbType->setCurrentIndex(p.Type);
    cbZeile->setCurrentIndex(p.Row);
    cbSpalte->setCurrentIndex(p.Column);
    RefreshPreview();
}

void TFrmLCD::RefreshPreview() {
    const auto [line1, line2] = LcdPreview(Params());
    lblZeile1->setText(QString::fromStdString(line1));
    lblZeile2->setText(QString::fromStdString(line2));
}

void TFrmLCD::EndParamSet(TLogicComponentList& components, int index) {
    WriteLcdParams(components.Items(index).Variables, Params(), Messages());
}

} // namespace v7300::params
