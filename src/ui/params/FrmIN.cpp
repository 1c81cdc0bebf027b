#include "ui/params/FrmIN.h"

#include "ui/app/DarkLook.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace v7300::params {
namespace {

QGroupBox* radioGroup(const TParamControl& c, QButtonGroup*& group, QWidget* parent) {
    auto* box = new QGroupBox(QString::fromStdString(c.label), parent);
    box->setObjectName(QString::fromStdString(c.name));
    box->setGeometry(c.x, c.y, c.w, c.h);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(4, 4, 2, 4);
    group = new QButtonGroup(box);
    for (std::size_t i = 0; i < c.items.size(); ++i) {
        auto* radio = new QRadioButton(QString::fromStdString(c.items[i]), box);
        CondenseToFit(*radio, c.w - 8);
        ShowIndicator(*radio);
        group->addButton(radio, static_cast<int>(i));
        layout->addWidget(radio);
    }
    layout->addStretch();
    return box;
}

void select(QButtonGroup* group, int id) {
    if (QAbstractButton* b = group->button(id)) {
        b->setChecked(true);
        return;
    }
    // No entry: none selected.
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons()) b->setChecked(false);
    group->setExclusive(true);
}

void titleColour(QGroupBox* box, const QColor& colour) {
    QPalette p = box->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Disabled, QPalette::WindowText, colour);
    box->setPalette(p);
}

} // namespace

TFrmIN::TFrmIN(QWidget* parent) : TFrmUserdefineSetter(*FindParamDialog("IN"), parent) {
    const TParamControl* panel = Spec->Control("panelOptions");
    auto* frame = new QFrame(this);
    frame->setGeometry(panel->x, panel->y, panel->w, panel->h);
    frame->setFrameShape(QFrame::Box);
    QPalette framed = frame->palette();
    framed.setColor(QPalette::WindowText, look::kOrange);
    frame->setPalette(framed);
    const TParamControl* c = Spec->Control("editBezeichnung");
    editBezeichnung = new QLineEdit(this);
    editBezeichnung->setGeometry(c->x, c->y, c->w, c->h);
    AddLabel(*c);
    c = Spec->Control("cbHardwareInput");
    cbHardwareInput = new QComboBox(this);
    cbHardwareInput->setGeometry(c->x, c->y, c->w, c->h);
    for (const auto& item : c->items) cbHardwareInput->addItem(QString::fromStdString(item));
    AddLabel(*c);
    rgInputType = radioGroup(*Spec->Control("rgInputType"), InputTypes, this);
    rgDigitalType = radioGroup(*Spec->Control("rgDigitalType"), DigitalTypes, this);
    c = Spec->Control("imgInputType");
    imgInputType = new QLabel(this);
    imgInputType->setGeometry(c->x, c->y, c->w, c->h);
    imgInputType->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    panelMoveForm->raise();
    timer_ = new QTimer(this);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, &TFrmIN::Tick);
}

void TFrmIN::showEvent(QShowEvent* event) {
    TFrmUserdefineSetter::showEvent(event);
    timer_->start();
}

void TFrmIN::hideEvent(QHideEvent* event) {
    timer_->stop();
    TFrmUserdefineSetter::hideEvent(event);
}

TInParams TFrmIN::Params() const {
    return {editBezeichnung->text().toStdString(), cbHardwareInput->currentIndex(), InputTypes->checkedId(),
            DigitalTypes->checkedId()};
}

void TFrmIN::StartParamSet(TLogicComponentList& components, int index) {
    const TInParams p = ReadInParams(components.Items(index).Variables);
    editBezeichnung->setText(QString::fromStdString(p.Bezeichnung));
    cbHardwareInput->setCurrentIndex(p.Hid);
    select(InputTypes, p.HardwareType);
    select(DigitalTypes, p.SoftwareType);
}

void TFrmIN::Tick() {
    TInParams p = Params();
    const TInGroups::TTick t = groups_.Tick(p);
    rgInputType->setEnabled(!t.SoftwareEnabled);
    rgDigitalType->setEnabled(t.SoftwareEnabled);
    titleColour(rgInputType, t.SoftwareEnabled ? look::kText : look::kOrange);
    titleColour(rgDigitalType, t.SoftwareEnabled ? look::kOrange : look::kText);
    select(t.SoftwareEnabled ? InputTypes : DigitalTypes, 0);
    if (t.Reload) LoadPicture(t.Picture);
}

void TFrmIN::LoadPicture(int picture) {
    const std::string folder = Library() ? Library()->Folder() : std::string();
    const QString file = QString::fromStdString(InOptionPicture(folder, picture));
    QImage image;
    if (QFile::exists(file) && image.load(file)) {
        imgInputType->setPixmap(QPixmap::fromImage(image));
        return;
    }
    QPixmap missing(imgInputType->size());
    missing.fill(Qt::black);
    QPainter painter(&missing);
    painter.setPen(Qt::red);
    QFont f = painter.font();
    f.setPointSize(14);
    painter.setFont(f);
    painter.drawText(QRect(5, 5, missing.width() - 5, missing.height() - 5), Qt::AlignLeft | Qt::AlignTop,
                     QStringLiteral("File Not Found!"));
    painter.end();
    imgInputType->setPixmap(missing);
}

void TFrmIN::EndParamSet(TLogicComponentList& components, int index) {
    WriteInParams(components.Items(index).Variables, Params(), Messages());
}

} // namespace v7300::params
