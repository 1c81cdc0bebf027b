#include "ui/app/MainToolbar.h"

#include "device/ProgramSizeIndicator.h"
#include "ui/dialogs/UnitError.h"

#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

namespace v7300 {
namespace {

// The program-size indicator: a label with a frame that can blink and a click message.
class TSizeIndicator : public QLabel {
  public:
    explicit TSizeIndicator(QWidget* parent) : QLabel(parent) {}
    std::function<void()> OnClick;

  protected:
    void mousePressEvent(QMouseEvent*) override {
        Guarded(this, [this] {
            if (OnClick) OnClick();
        });
    }
};

// Toolbar icons, drawn once.
QIcon toolIcon(int kind) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor orange(0xFF, 0x80, 0x00);
    switch (kind) {
    case 0: // new
        p.setPen(Qt::white);
        p.setBrush(QColor(0x44, 0x44, 0x44));
        p.drawPolygon(QPolygon({QPoint(3, 1), QPoint(10, 1), QPoint(13, 4), QPoint(13, 15), QPoint(3, 15)}));
        break;
    case 1: // open
        p.setPen(Qt::white);
        p.setBrush(orange);
        p.drawRect(1, 5, 14, 9);
        p.drawRect(1, 3, 6, 2);
        break;
    case 2: // save
        p.setPen(Qt::white);
        p.setBrush(QColor(0x44, 0x44, 0xAA));
        p.drawRect(1, 1, 14, 14);
        p.setBrush(Qt::white);
        p.drawRect(4, 2, 8, 5);
        break;
    case 3: // simulate
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x22, 0xCC, 0x22));
        p.drawPolygon(QPolygon({QPoint(3, 2), QPoint(14, 8), QPoint(3, 14)}));
        break;
    case 4: // live view
        p.setPen(QPen(orange, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(1, 4, 14, 8);
        p.setBrush(orange);
        p.drawEllipse(6, 6, 4, 4);
        break;
    case 6: // pause
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xDD, 0xDD, 0xDD));
        p.drawRect(4, 3, 3, 10);
        p.drawRect(9, 3, 3, 10);
        break;
    case 7: // single step
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xDD, 0xDD, 0xDD));
        p.drawRect(3, 3, 2, 10);
        p.setBrush(QColor(0x22, 0xCC, 0x22));
        p.drawPolygon(QPolygon({QPoint(7, 3), QPoint(14, 8), QPoint(7, 13)}));
        break;
    default: // stop
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xDD, 0x22, 0x22));
        p.drawRect(3, 3, 10, 10);
        break;
    }
    return QIcon(pm);
}

} // namespace

TMainToolbar::TMainToolbar(QWidget* parent) : QWidget(parent) {
    setGeometry(0, 0, 745, 27);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    int x = 4;
    auto button = [&](const QString& tip, int icon, std::function<void()>* action) {
        auto* b = new QToolButton(this);
        b->setGeometry(x, 3, 23, 20);
        b->setAutoRaise(true);
        b->setToolTip(tip);
        if (icon >= 0) b->setIcon(toolIcon(icon));
        connect(b, &QToolButton::clicked, this, [this, action] {
            Guarded(this, [action] {
                if (*action) (*action)();
            });
        });
        x += 23;
        return b;
    };
    button(QStringLiteral("Neu"), 0, &OnNew);
    button(QStringLiteral("Öffnen"), 1, &OnOpen);
    button(QStringLiteral("Speichern"), 2, &OnSave);
    x += 12;
    QToolButton* t = button(QStringLiteral("Text hinzufügen"), -1, &OnAddText);
    t->setText(QStringLiteral("T"));
    t->setStyleSheet(QStringLiteral("QToolButton { color: white; font-weight: bold; }"));
    x += 12;
    btnSim_ = button(QStringLiteral("Simulation Starten"), 3, &OnSimulate);
    btnLive_ = button(QStringLiteral("LiveView Starten "), 4, &OnLiveView);
    btnLive_->setProperty("liveView", true);
    btnStop_ = button(QStringLiteral("Simulation/LiveView Stoppen"), 5, &OnStop);
    btnStop_->setEnabled(false);
    btnPause_ = button(QStringLiteral("Simulation pausieren / fortsetzen (F6)"), 6, &OnPause);
    btnPause_->setCheckable(true);
    // The style's light "checked" face would hide the light icon.
    btnPause_->setStyleSheet(
        QStringLiteral("QToolButton:checked { background: #553300; border: 1px solid #FF8000; border-radius: 2px; }"));
    btnStep_ = button(QStringLiteral("Einzelschritt (F7)"), 7, &OnStep);
    btnSpeed_ = new QToolButton(this);
    btnSpeed_->setAutoRaise(true);
    btnSpeed_->setPopupMode(QToolButton::InstantPopup);
    btnSpeed_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    btnSpeed_->setStyleSheet(QStringLiteral("QToolButton { color: white; }"));
    ShowSimulationControls(true, false, false, QStringLiteral("1×"));
    x -= 2 * 23; // pause and step stand at the right end, not in this row
    x += 16;
    auto* indicator = new TSizeIndicator(this);
    indicatorLeft_ = x;
    indicator->setGeometry(x, 3, 122, 20);
    indicator->setCursor(Qt::PointingHandCursor);
    indicator->setAlignment(Qt::AlignCenter);
    indicator->setStyleSheet(QStringLiteral("QLabel { background: black; color: white; }"));
    indicator->setText(QStringLiteral("0 / 100 [XXX Byte]"));
    indicator->OnClick = [this] {
        if (OnIndicatorClick) OnIndicatorClick();
    };
    indicator_ = indicator;
    status_ = new QLabel(QStringLiteral("---"), this);
    status_->setAlignment(Qt::AlignCenter);
    status_->setStyleSheet(QStringLiteral("QLabel { background: #222222; color: white; }"));
    statusEx_ = new QLabel(this);
    statusEx_->setStyleSheet(QStringLiteral("QLabel { color: white; }"));
    PlacePanels();
}

void TMainToolbar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlacePanels();
}

void TMainToolbar::PlacePanels() {
    const auto widthFor = [](const QLabel* label, int designWidth) {
        return std::max(designWidth, label->fontMetrics().horizontalAdvance(label->text()) + 12);
    };
    const int indicatorWidth = widthFor(indicator_, 122);
    const int statusLeft = indicatorLeft_ + indicatorWidth + 16;
    const int statusWidth = widthFor(status_, 214);
    const int extraLeft = statusLeft + statusWidth + 16;
    if (indicator_->width() != indicatorWidth) indicator_->setGeometry(indicatorLeft_, 3, indicatorWidth, 20);
    if (status_->geometry() != QRect(statusLeft, 3, statusWidth, 20))
        status_->setGeometry(statusLeft, 3, statusWidth, 20);
    const int extraWidth = std::max(300, width() - extraLeft);
    if (statusEx_->geometry() != QRect(extraLeft, 3, extraWidth, 20))
        statusEx_->setGeometry(extraLeft, 3, extraWidth, 20);
    // Right-aligned, so that the panels keep their places.
    const int speedWidth = 44;
    const int speedLeft = width() - 4 - speedWidth;
    btnSpeed_->setGeometry(speedLeft, 3, speedWidth, 20);
    btnStep_->setGeometry(speedLeft - 4 - 23, 3, 23, 20);
    btnPause_->setGeometry(speedLeft - 4 - 46, 3, 23, 20);
    btnPause_->raise();
    btnStep_->raise();
    btnSpeed_->raise();
}

void TMainToolbar::SetSpeedMenu(QMenu* menu) {
    btnSpeed_->setMenu(menu);
}

void TMainToolbar::ShowSimulationControls(bool shown, bool running, bool paused, const QString& speed) {
    for (QToolButton* b : {btnPause_, btnStep_, btnSpeed_})
        if (b->isVisibleTo(this) != shown) b->setVisible(shown);
    if (btnPause_->isEnabled() != running) btnPause_->setEnabled(running);
    if (btnPause_->isChecked() != (running && paused)) btnPause_->setChecked(running && paused);
    if (btnStep_->isEnabled() != (running && paused)) btnStep_->setEnabled(running && paused);
    // "so schnell wie möglich" does not fit the button; its menu and tool tip say it.
    const QString shortText = speed.size() > 5 ? QStringLiteral("max.") : speed;
    if (btnSpeed_->text() != shortText) {
        btnSpeed_->setText(shortText);
        btnSpeed_->setToolTip(QStringLiteral("Geschwindigkeit: ") + speed);
    }
}

void TMainToolbar::ShowIndicator(const TProgramSizeIndicator& indicator) {
    if (indicator.Framed())
        indicator_->setFrameStyle(QFrame::Panel | (indicator.Raised() ? QFrame::Raised : QFrame::Sunken));
    else if (indicator_->frameStyle() != QFrame::NoFrame)
        indicator_->setFrameStyle(QFrame::NoFrame);
    const QString style = indicator.Red() ? QStringLiteral("QLabel { background: black; color: red; }")
                                          : QStringLiteral("QLabel { background: black; color: white; }");
    if (indicator_->styleSheet() != style) indicator_->setStyleSheet(style);
    const QString caption = QString::fromStdString(indicator.Caption());
    if (indicator_->text() != caption) {
        indicator_->setText(caption);
        PlacePanels();
    }
}

void TMainToolbar::SetLinkStatus(const QString& text) {
    if (status_->text() == text) return;
    status_->setText(text);
    PlacePanels();
}

void TMainToolbar::SetStatusEx(const QString& text) {
    if (statusEx_->text() != text) statusEx_->setText(text);
}

void TMainToolbar::SetEditing(bool editing, bool liveAllowed) {
    btnStop_->setEnabled(!editing);
    btnSim_->setEnabled(editing);
    btnLive_->setEnabled(editing && liveAllowed);
}

} // namespace v7300
