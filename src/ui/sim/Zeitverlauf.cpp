#include "ui/sim/Zeitverlauf.h"

#include "core/Error.h"
#include "core/FileIO.h"
#include "core/Image.h"
#include "core/MessagePort.h"
#include "core/NumberFormat.h"
#include "simulation/TimingPlotSession.h"
#include "ui/app/DarkLook.h"
#include "ui/canvas/QtCanvas.h"
#include "ui/dialogs/FileDialogs.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <functional>

namespace v7300 {

// The drawn plot inside the vertical scroll area: shows the picture, reports
// clicks (lane selection) and wheel turns.
class TPlotArea : public QWidget {
public:
    using QWidget::QWidget;
    QImage Picture;
    std::function<void(int y)> OnClick;
    std::function<void(int delta, bool zoom, bool vertical)> OnWheel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        painter.drawImage(0, 0, Picture);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (OnClick) OnClick(static_cast<int>(event->position().y()));
    }
    void wheelEvent(QWheelEvent* event) override {
        const QPoint delta = event->angleDelta();
        const bool zoom = event->modifiers().testFlag(Qt::ControlModifier);
        const bool vertical = event->modifiers().testFlag(Qt::ShiftModifier);
        // A horizontal turn (touch pads) moves the time as well.
        const int turn = delta.y() != 0 ? delta.y() : -delta.x();
        if (OnWheel && turn != 0) OnWheel(turn, zoom, vertical && delta.y() != 0);
        event->accept();
    }
};

namespace {

const char* const kButtonStyle =
    "QPushButton { background: #222222; color: white; border: 1px solid #444444; padding: 4px 10px; }"
    "QPushButton:hover { background: #444444; }"
    "QPushButton:checked { background: #444444; border: 1px solid #FF8000; }"
    "QPushButton:disabled { color: #999999; }";

} // namespace

TFrmZeitverlauf::TFrmZeitverlauf(TTimingPlotSession& session, TFileDialogs& dialogs, MessagePort& messages,
                                 QWidget* parent)
    : QWidget(parent, Qt::Tool), session_(session), dialogs_(dialogs), messages_(messages) {
    setWindowTitle(QStringLiteral("Zeitverlauf"));
    setPalette(DarkPalette());
    SetColours(*this, look::kBlack, look::kText);
    setAutoFillBackground(true);
    resize(900, 380);
    setMinimumSize(480, 200);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(4);
    BuildButtons();
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    for (QPushButton* b : {ZoomInButton, ZoomOutButton, AllButton, FollowButton, RemoveButton, PngButton, CsvButton})
        row->addWidget(b);
    row->addStretch(1);
    column->addLayout(row);

    Hint = new QLabel(this);
    Hint->setStyleSheet(QStringLiteral("QLabel { color: white; }"));
    Hint->setWordWrap(true);
    column->addWidget(Hint);

    area_ = new TPlotArea;
    Plot = area_;
    area_->OnClick = [this](int y) { Select(session_.NameAtY(y)); };
    area_->OnWheel = [this](int delta, bool zoom, bool vertical) { OnWheel(delta, zoom, vertical); };
    Lanes = new QScrollArea(this);
    Lanes->setFrameShape(QFrame::NoFrame);
    Lanes->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Lanes->setWidget(Plot);
    SetColours(*Lanes->viewport(), look::kBlack, look::kText);
    Lanes->viewport()->installEventFilter(this); // its width is the picture's
    column->addWidget(Lanes, 1);

    TimeBar = new QScrollBar(Qt::Horizontal, this);
    connect(TimeBar, &QScrollBar::valueChanged, this, [this](int value) {
        session_.ScrollTo(value);
        Refresh();
    });
    column->addWidget(TimeBar);

    timer_ = new QTimer(this);
    timer_->setInterval(kRefreshMs);
    connect(timer_, &QTimer::timeout, this, [this] { Refresh(); });
}

QPushButton* TFrmZeitverlauf::AddButton(const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setStyleSheet(QString::fromLatin1(kButtonStyle));
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void TFrmZeitverlauf::BuildButtons() {
    ZoomInButton = AddButton(QStringLiteral("Vergrößern"));
    ZoomOutButton = AddButton(QStringLiteral("Verkleinern"));
    AllButton = AddButton(QStringLiteral("Alles"));
    FollowButton = AddButton(QStringLiteral("Mitlaufen"));
    FollowButton->setCheckable(true);
    RemoveButton = AddButton(QStringLiteral("Entfernen"));
    RemoveButton->setToolTip(QStringLiteral("Entfernt die zuletzt angeklickte Spur aus dem Zeitverlauf"));
    PngButton = AddButton(QStringLiteral("PNG exportieren…"));
    CsvButton = AddButton(QStringLiteral("CSV exportieren…"));
    auto act = [this](QPushButton* button, void (TTimingPlotSession::*command)()) {
        connect(button, &QPushButton::clicked, this, [this, command] {
            (session_.*command)();
            Refresh(true);
        });
    };
    act(ZoomInButton, &TTimingPlotSession::ZoomIn);
    act(ZoomOutButton, &TTimingPlotSession::ZoomOut);
    act(AllButton, &TTimingPlotSession::ShowAll);
    connect(FollowButton, &QPushButton::clicked, this, [this](bool on) {
        session_.SetFollowing(on);
        Refresh(true);
    });
    connect(RemoveButton, &QPushButton::clicked, this, [this] { RemoveSelected(); });
    connect(PngButton, &QPushButton::clicked, this, [this] { ExportPng(); });
    connect(CsvButton, &QPushButton::clicked, this, [this] { ExportCsv(); });
}

void TFrmZeitverlauf::ShowAndRaise() {
    if (!placed_ && parentWidget() != nullptr) {
        // Beside the main window: along its lower edge, inside it.
        const QRect main = parentWidget()->geometry();
        move(main.left() + 40, std::max(main.top(), main.bottom() - height() - 40));
    }
    placed_ = true;
    show();
    raise();
    activateWindow();
    Refresh(true);
}

const QImage& TFrmZeitverlauf::Picture() const {
    return area_->Picture;
}

void TFrmZeitverlauf::Refresh(bool always) {
    const std::uint64_t revision = session_.Revision();
    const int width = std::max(Lanes->viewport()->width(), 200);
    if (!always && revision == drawnRevision_ && width == drawnWidth_) return;
    drawnRevision_ = revision;
    drawnWidth_ = width;

    TQtCanvas canvas;
    session_.Draw(canvas, width);
    QImage picture = canvas.Image();
    if (selected_) {
        if (const auto lane = session_.LaneOf(*selected_)) {
            QPainter painter(&picture);
            painter.setPen(QPen(look::kOrange, 2));
            painter.drawRect(1, lane->first + 1, picture.width() - 3, lane->second - lane->first - 2);
        }
    }
    area_->Picture = picture;
    area_->setFixedSize(picture.size());
    area_->update();
    UpdateControls();
}

void TFrmZeitverlauf::UpdateControls() {
    const TTimingPlotSession::TScrollBar bar = session_.ScrollBar();
    {
        const QSignalBlocker block(TimeBar);
        TimeBar->setRange(0, bar.Maximum);
        TimeBar->setPageStep(bar.Page);
        TimeBar->setSingleStep(bar.Step);
        TimeBar->setValue(bar.Value);
    }
    FollowButton->setChecked(session_.Following());
    const std::int64_t span = session_.SpanMs();
    ZoomInButton->setEnabled(span > TTimingPlotSession::kMinSpanMs);
    ZoomOutButton->setEnabled(span < TTimingPlotSession::kMaxSpanMs);
    if (selected_ && !session_.Contains(*selected_)) selected_.reset();
    RemoveButton->setEnabled(selected_.has_value());

    QString hint;
    if (session_.Names().empty())
        hint = QStringLiteral("Noch keine Einträge: in der Simulation über das Kontextmenü eines Bausteins "
                              "„Im Zeitverlauf zeigen“ wählen.");
    else if (session_.Truncated())
        hint = QStringLiteral("Hinweis: Der Zeitverlauf enthält nur die letzten %1 Änderungen.")
                   .arg(static_cast<qulonglong>(TTimingPlot::kMaxChanges));
    if (Hint->text() != hint) Hint->setText(hint);
    Hint->setVisible(!hint.isEmpty());
}

void TFrmZeitverlauf::Select(std::optional<std::string> storeName) {
    selected_ = std::move(storeName);
    Refresh(true);
}

void TFrmZeitverlauf::RemoveSelected() {
    if (!selected_) return;
    session_.Remove(*selected_);
    selected_.reset();
    Refresh(true);
}

void TFrmZeitverlauf::OnWheel(int delta, bool zoom, bool vertical) {
    if (vertical) {
        QScrollBar* bar = Lanes->verticalScrollBar();
        bar->setValue(bar->value() - delta / 4);
        return;
    }
    if (zoom) {
        if (delta > 0) session_.ZoomIn();
        else session_.ZoomOut();
    } else {
        // One notch (120) moves a tenth of the shown span; turning towards the user goes forward.
        session_.ScrollBy(-static_cast<std::int64_t>(delta) * session_.SpanMs() / 1200);
    }
    Refresh(true);
}

void TFrmZeitverlauf::ExportPng() {
    const std::string path = dialogs_.SaveFile(this, "PNG-Bilddatei (*.png)|*.png", "png");
    if (path.empty()) return;
    try {
        TQtCanvas canvas;
        session_.DrawWhole(canvas, TTimingPlotSession::kExportWidth);
        writeFileAtomic(path, encodePng(canvas.ToImage()));
    } catch (const std::exception& e) {
        messages_.showPlain("Speichern Fehlgeschlagen!\r\n" + userMessage(e));
    }
}

void TFrmZeitverlauf::ExportCsv() {
    const std::string path = dialogs_.SaveFile(this, "CSV-Datei (*.csv)|*.csv", "csv");
    if (path.empty()) return;
    try {
        writeFileAtomic(path, session_.Csv(decimalSeparator()));
    } catch (const std::exception& e) {
        messages_.showPlain("Speichern Fehlgeschlagen!\r\n" + userMessage(e));
    }
}

void TFrmZeitverlauf::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    timer_->start();
    Refresh(true);
}

void TFrmZeitverlauf::hideEvent(QHideEvent* event) {
    timer_->stop();
    QWidget::hideEvent(event);
}

bool TFrmZeitverlauf::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Lanes->viewport() && event->type() == QEvent::Resize && isVisible()) Refresh();
    return QWidget::eventFilter(watched, event);
}

void TFrmZeitverlauf::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && selected_) RemoveSelected();
    else QWidget::keyPressEvent(event);
}

} // namespace v7300
