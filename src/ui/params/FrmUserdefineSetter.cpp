#include "ui/params/FrmUserdefineSetter.h"

#include "ui/app/DarkLook.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>

#include <algorithm>

namespace v7300::params {
namespace {

QString& pictureFolder() {
    static QString folder;
    return folder;
}

QLabel* titleLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(p);
    QFont f = label->font();
    f.setBold(true);
    f.setPixelSize(21);
    label->setFont(f);
    return label;
}

QLabel* okPanel(QWidget* parent) {
    auto* ok = new QLabel(QStringLiteral("OK"), parent);
    ok->setAlignment(Qt::AlignCenter);
    SetColours(*ok, Qt::black, Qt::red);
    QFont f = ok->font();
    f.setBold(true);
    f.setPixelSize(12);
    ok->setFont(f);
    ok->setCursor(Qt::PointingHandCursor);
    return ok;
}

} // namespace

void CondenseToFit(QWidget& widget, int width) {
    widget.ensurePolished();
    if (widget.sizeHint().width() <= width) return;
    QFont f = widget.font();
    f.setStretch(QFont::Condensed);
    widget.setFont(f);
}

void ShowIndicator(QWidget& button) {
    QPalette p = button.palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Window, QColor(0x90, 0x90, 0x90)); // the outline is drawn from it
        p.setColor(group, QPalette::Base, QColor(0x28, 0x28, 0x28));
    }
    button.setPalette(p);
}

void TFrmUserdefineSetter::SetPictureFolder(const QString& folder) { pictureFolder() = folder; }

QString TFrmUserdefineSetter::PictureFolder() {
    if (!pictureFolder().isEmpty()) return pictureFolder();
    return QCoreApplication::applicationDirPath() + QStringLiteral("/dialogs");
}

TFrmUserdefineSetter::TFrmUserdefineSetter(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setWindowTitle(QStringLiteral("Fehler:"));
    setFixedSize(352, 99);
    SetColours(*this, Qt::black, Qt::white);
    ErrorPanel = new QWidget(this);
    ErrorPanel->setGeometry(0, 0, 352, 30);
    SetColours(*ErrorPanel, look::kOrange, Qt::black);
    Header = titleLabel(QStringLiteral("Baustein - Editieren"), ErrorPanel);
    Header->setGeometry(4, 2, 300, 26);
    PanelOK = okPanel(ErrorPanel);
    PanelOK->setGeometry(352 - kOkPanelWidth - 4, 3, kOkPanelWidth, kOkPanelHeight);
    Label = new QLabel(QStringLiteral("Das sollte man niemals sehen!!!!"), this);
    QPalette red = Label->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label->setPalette(red);
    QFont f = Label->font();
    f.setBold(true);
    f.setPixelSize(19);
    Label->setFont(f);
    // The label is never cut: the dialog widens when the font needs more than its design width.
    Label->ensurePolished();
    const int labelWidth = std::max(336, Label->sizeHint().width());
    Label->setGeometry(8, 45, labelWidth, std::max(30, Label->sizeHint().height()));
    if (labelWidth > 336) {
        setFixedSize(labelWidth + 16, 99);
        ErrorPanel->setGeometry(0, 0, width(), 30);
        PanelOK->move(width() - kOkPanelWidth - 4, 3);
    }
    for (QObject* o : {static_cast<QObject*>(ErrorPanel), static_cast<QObject*>(Header),
                       static_cast<QObject*>(PanelOK), static_cast<QObject*>(Label)})
        o->installEventFilter(this);
}

TFrmUserdefineSetter::TFrmUserdefineSetter(const TParamDialogSpec& spec, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), Spec(&spec) {
    setWindowTitle(QString::fromStdString(spec.caption));
    setFixedSize(spec.width, spec.height);
    const QColor background = spec.faceColour ? DarkPalette().color(QPalette::Window) : QColor(Qt::black);
    SetColours(*this, background, Qt::white);
    if (spec.picture) {
        Image1 = new QLabel(this);
        Image1->setGeometry(0, kTitleBarHeight, spec.width, spec.height - kTitleBarHeight);
        Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        const QPixmap picture(PictureFolder() + QLatin1Char('/') + QString::fromStdString(spec.typeName) +
                              QStringLiteral(".png"));
        // A dialog without its picture still works.
        if (!picture.isNull()) Image1->setPixmap(picture);
    }
    auto* title = titleLabel(QStringLiteral(" Baustein - Editieren"), this);
    SetColours(*title, look::kOrange, Qt::black);
    title->setGeometry(0, 0, spec.width, kTitleBarHeight);
    title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    panelMoveForm = title;
    panelOK = okPanel(title);
    panelOK->setGeometry(spec.width - kOkPanelWidth - 4, (kTitleBarHeight - kOkPanelHeight) / 2, kOkPanelWidth,
                         kOkPanelHeight);
    panelMoveForm->installEventFilter(this);
    panelOK->installEventFilter(this);
}

void TFrmUserdefineSetter::StartParamSet(TLogicComponentList&, int) {}
void TFrmUserdefineSetter::EndParamSet(TLogicComponentList&, int) {}

MessagePort& TFrmUserdefineSetter::Messages() {
    static SilentMessagePort silent;
    return messages_ ? *messages_ : silent;
}

void TFrmUserdefineSetter::editMaxKeyPress(QLineEdit& edit) {
    edit.setProperty("v7300NumberKeys", true);
    edit.installEventFilter(this);
}

QLabel* TFrmUserdefineSetter::AddLabel(const TParamControl& c) {
    auto* label = new QLabel(QString::fromStdString(c.label), this);
    label->adjustSize();
    const int h = label->height();
    switch (c.side) {
    case TLabelSide::Left:
        label->move(c.x - 6 - label->width(), c.y + (c.h - h) / 2);
        break;
    case TLabelSide::Above: label->move(c.x, c.y - h - 2); break;
    case TLabelSide::Right: label->move(c.x + c.w + 6, c.y + (c.h - h) / 2); break;
    case TLabelSide::None: break;
    }
    return label;
}

void TFrmUserdefineSetter::panelMoveFormMouseDown(const QPoint& globalPos) {
    dragFrom_ = globalPos - frameGeometry().topLeft();
}

bool TFrmUserdefineSetter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->property("v7300NumberKeys").toBool()) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        const bool printable = !text.isEmpty() && text.at(0).unicode() >= 0x20;
        if (printable && !(text.at(0).isDigit() && text.at(0).unicode() < 0x80) && text != QStringLiteral("-"))
            return true; // dropped
        return QDialog::eventFilter(watched, event);
    }
    const bool okPanel = watched == PanelOK || watched == panelOK || watched == Label;
    const bool titleBar = watched == ErrorPanel || watched == Header || watched == panelMoveForm;
    if (event->type() == QEvent::MouseButtonPress && (okPanel || titleBar)) {
        if (okPanel) {
            watched == Label ? lblDoNotShowClick() : panelOKClick();
            return true;
        }
        panelMoveFormMouseDown(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    }
    if (event->type() == QEvent::MouseMove && titleBar) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->buttons() & Qt::LeftButton) move(me->globalPosition().toPoint() - dragFrom_);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace v7300::params
