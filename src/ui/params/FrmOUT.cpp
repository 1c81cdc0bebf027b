#include "ui/params/FrmOUT.h"

#include "model/LogicRenderer.h"
#include "ui/app/DarkLook.h"
#include "ui/canvas/QtCanvas.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace v7300::params {
namespace {

// Colours are kept as decimal numbers with red in the low byte.
QColor toQColor(std::int32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
std::int32_t fromQColor(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

template <class W> W* place(W* w, const TParamDialogSpec& spec, const char* name) {
    const TParamControl* c = spec.Control(name);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(c->x, c->y, c->w, c->h);
    return w;
}

} // namespace

TFrmOUT::TFrmOUT(QWidget* parent) : TFrmUserdefineSetter(*FindParamDialog("OUT"), parent) {
    auto* panel = place(new QFrame(this), *Spec, "panelOptions");
    panel->setFrameShape(QFrame::Box);
    QPalette framed = panel->palette();
    framed.setColor(QPalette::WindowText, look::kOrange);
    panel->setPalette(framed);
    cbOutputID = place(new QComboBox(this), *Spec, "cbOutputID");
    editBeschriftung = place(new QLineEdit(this), *Spec, "editBeschriftung");
    cbType = place(new QComboBox(this), *Spec, "cbType");
    for (const auto& item : Spec->Control("cbType")->items) cbType->addItem(QString::fromStdString(item));
    img1 = place(new QLabel(this), *Spec, "img1");
    img2 = place(new QLabel(this), *Spec, "img2");
    editTXT1 = place(new QLineEdit(this), *Spec, "editTXT1");
    editTXT2 = place(new QLineEdit(this), *Spec, "editTXT2");
    editTXT1->setMaxLength(8);
    editTXT2->setMaxLength(8);
    pCOL1 = place(new QPushButton(QStringLiteral("Farbe"), this), *Spec, "pCOL1");
    pCOL2 = place(new QPushButton(QStringLiteral("Farbe"), this), *Spec, "pCOL2");
    for (const TParamControl& c : Spec->controls)
        if (!c.label.empty() && c.side != TLabelSide::None) AddLabel(c);
    panelMoveForm->raise();

    ChooseColour = [this](const QColor& current) -> std::optional<QColor> {
        const QColor chosen = QColorDialog::getColor(current, this, QStringLiteral("Farbe"));
        if (!chosen.isValid()) return std::nullopt;
        return chosen;
    };
    connect(cbType, &QComboBox::currentIndexChanged, this, [this] { DrawPreview(0); });
    connect(cbOutputID, &QComboBox::currentIndexChanged, this, [this] { DrawPreview(0); });
    connect(editTXT1, &QLineEdit::textChanged, this, [this] { DrawPreview(1); });
    connect(editTXT2, &QLineEdit::textChanged, this, [this] { DrawPreview(2); });
    connect(pCOL1, &QPushButton::clicked, this, [this] { pCOLClick(pCOL1); });
    connect(pCOL2, &QPushButton::clicked, this, [this] { pCOLClick(pCOL2); });
}

std::int32_t TFrmOUT::ColourOf(const QPushButton* button) const {
    return button->property("v7300Colour").toInt();
}

void TFrmOUT::SetColour(QPushButton* button, std::int32_t colour) {
    button->setProperty("v7300Colour", colour);
    QPalette p = button->palette();
    const QColor c = toQColor(colour);
    p.setColor(QPalette::Button, c);
    p.setColor(QPalette::ButtonText, c.lightness() > 128 ? Qt::black : Qt::white);
    button->setPalette(p);
}

void TFrmOUT::pCOLClick(QPushButton* button) {
    if (const auto chosen = ChooseColour(toQColor(ColourOf(button)))) {
        SetColour(button, fromQColor(*chosen));
        DrawPreview(button == pCOL1 ? 1 : 2);
    }
}

void TFrmOUT::DrawPreview(int which) {
    const Image* base = Library() ? Library()->GetImage("OUT", "OUT") : nullptr;
    for (int n : {1, 2}) {
        if (which != 0 && which != n) continue;
        TQtCanvas canvas(51, 30);
        canvas.Fill(0x000000);
        if (base) canvas.DrawImage(0, 0, *base);
        const QLineEdit* text = n == 1 ? editTXT1 : editTXT2;
        TLogicRenderer::DrawOutSymbol(std::to_string(cbType->currentIndex()), text->text().toStdString(),
                                      std::to_string(ColourOf(n == 1 ? pCOL1 : pCOL2)), canvas);
        (n == 1 ? img1 : img2)->setPixmap(QPixmap::fromImage(canvas.Image()));
    }
}

void TFrmOUT::StartParamSet(TLogicComponentList& components, int index) {
    const TOutParams p = ReadOutParams(components, index);
    free_ = p.FreeIds;
    editBeschriftung->setText(QString::fromStdString(p.Beschriftung));
    cbType->setCurrentIndex(p.Symbol >= 0 && p.Symbol < cbType->count() ? p.Symbol : -1);
    editTXT1->setText(QString::fromStdString(p.Text1));
    editTXT2->setText(QString::fromStdString(p.Text2));
    SetColour(pCOL1, p.Colour1);
    SetColour(pCOL2, p.Colour2);
    cbOutputID->clear();
    for (int id : free_) cbOutputID->addItem(QString::number(id));
    cbOutputID->setCurrentIndex(p.Id ? cbOutputID->findText(QString::number(*p.Id)) : -1);
    DrawPreview(0);
}

TOutParams TFrmOUT::Params() const {
    TOutParams p;
    p.Beschriftung = editBeschriftung->text().toStdString();
    p.Symbol = cbType->currentIndex();
    p.Text1 = editTXT1->text().toStdString();
    p.Text2 = editTXT2->text().toStdString();
    p.Colour1 = ColourOf(pCOL1);
    p.Colour2 = ColourOf(pCOL2);
    if (cbOutputID->currentIndex() >= 0) p.Id = cbOutputID->currentText().toInt();
    return p;
}

void TFrmOUT::EndParamSet(TLogicComponentList& components, int index) {
    WriteOutParams(components, index, Params(), Messages());
}

} // namespace v7300::params
