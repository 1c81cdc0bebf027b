#include "ui/app/Hauptform.h"

#include "core/Error.h"
#include "device/UnitV7300EEPROMData.h"
#include "device/UnitV7300NETIO.h"
#include "model/LogicRenderer.h"
#include "project/FileController.h"
#include "project/Settings.h"
#include "simulation/SimulationRuntime.h"
#include "ui/app/ActionLog.h"
#include "ui/app/FileTypeRegistration.h"
#include "ui/app/MainToolbar.h"
#include "ui/app/MenuStyle.h"
#include "ui/app/StatusPanel.h"
#include "ui/app/Version.h"
#include "ui/app/WindowFileDialogs.h"
#include "ui/canvas/QtCanvas.h"
#include "ui/device/LinkControl.h"
#include "ui/device/LiveViewHost.h"
#include "ui/dialogs/About.h"
#include "ui/dialogs/FileDialogs.h"
#include "ui/dialogs/UnitError.h"
#include "ui/dialogs/UnitStart.h"
#include "ui/dialogs/Unit_Drucken.h"
#include "ui/editor/ComponentPalette.h"
#include "ui/editor/DrawingArea.h"
#include "ui/editor/EditorView.h"
#include "ui/editor/V7300Scrollbar.h"
#include "ui/params/ParamDialogs.h"
#include "ui/sim/SimulationControl.h"
#include "ui/sim/Unit_LCD.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>

#include <cmath>
#include <filesystem>

namespace v7300 {
namespace {

bool fileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

void paintBlack(QWidget* w) {
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, Qt::black);
    w->setPalette(pal);
}

} // namespace

// ---------------------------------------------------------------- creation

TForm2::TForm2(TForm2Setup setup, QWidget* parent)
    : QMainWindow(parent), setup_(std::move(setup)), ownMessages_(this),
      messages_(setup_.Messages ? *setup_.Messages : static_cast<MessagePort&>(ownMessages_)),
      clock_(setup_.ClockPort ? *setup_.ClockPort : static_cast<Clock&>(ownClock_)) {
    if (setup_.Dialogs) {
        dialogs_ = setup_.Dialogs;
    } else {
        ownDialogs_ = std::make_unique<TQtFileDialogs>();
        dialogs_ = ownDialogs_.get();
    }
    SetActionLogClock(&clock_);
    Create();
    qApp->installEventFilter(this);
}

TForm2::~TForm2() {
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) dispatcher->disconnect(this);
    // The parts that work on the document go before it does.
    editor_->OnChanged = nullptr;
    logic_->OnRedraw = nullptr;
    delete live_; // writes into the simulation's store
    delete sim_;
    delete view_;
    delete link_;
    SetActionLogClock(nullptr);
}

void TForm2::Log(const std::string& text) {
    LogAction(text);
}

void TForm2::Create() {
    Log("FormCreate");
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    start_ = new TFrmStart(clock_, setup_.ProgressPauseMs);
    start_->show();
    if (setup_.RegisterFileTypes) {
        try {
            RegisterFileTypes(setup_.DataHome.empty() ? UserDataHome() : setup_.DataHome, setup_.ProgramPath);
        } catch (...) {
            // the desktop integration is a convenience; a failure is ignored
        }
    }
    // The client area: every control is placed by Layout().
    client_ = new QWidget(this);
    paintBlack(client_);
    setCentralWidget(client_);
    resize(745, 716 + 22);
    setAttribute(Qt::WA_OpaquePaintEvent);
    firstShow_ = true;

    logic_ = std::make_unique<TLogic>(setup_.LibraryFolder, messages_);
    editor_ = std::make_unique<DiagramEditor>(*logic_);
    editor_->OnLog = [](const std::string& line) { LogAction(line); };
    editor_->OnEditParameters = [this](int index) { ShowParameterDialog(index); };
    CreateDrawingArea();
    Progress(5);
    sim_ = new TSimulationControl(*logic_, clock_, this, setup_.SimulationWorker,
                                  setup_.SimulationZone.empty() ? TTimeZone::Machine() : TTimeZone::Load(setup_.SimulationZone));
    editor_->OnToggleInput = [this](int n) { sim_->ToggleInput(n); };
    // Idle work: every 100th time the event loop runs dry, a redraw when one is due.
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            if (++idleCounter_ % 100 == 0) Guarded(this, [this] { view_->RefreshIfNeeded(); });
        });
    }
    CreatePalette();
    Progress(30);
    CreateParts();
    BuildMenu();

    timer1_ = new QTimer(this);
    timer1_->setInterval(200);
    connect(timer1_, &QTimer::timeout, this, [this] { Guarded(this, [this] { Layout(); }); });
    if (setup_.Timers) timer1_->start();

    settings_ = std::make_unique<TSettingsFile>(setup_.SettingsFile);
    ReadViewSettings();
    OpenLink();
    ApplyGeometry();
    Progress(70);
    Layout();
}

void TForm2::CreateDrawingArea() {
    hbar_ = new TV7300Scrollbar(0, client_);
    vbar_ = new TV7300Scrollbar(1, client_);
    hbar_->resize(100, 20);
    vbar_->resize(20, 100);
    area_ = new TDrawingArea(client_);
    area_->setGeometry(128, 31, 600, 600);
    viewCanvas_ = std::make_unique<TQtCanvas>();
    renderer_ =
        std::make_unique<TLogicRenderer>(*logic_, clock_, [] { return std::make_unique<TQtCanvas>(); });
    renderer_->View = viewCanvas_.get();
    renderer_->OnRefresh = [this] { area_->update(); };
    area_->OnPainted = [this] {
        if (firstShow_ || !OnFirstDiagram) return;
        auto report = std::move(OnFirstDiagram);
        OnFirstDiagram = nullptr;
        report();
    };
    area_->Picture = [this] { return &static_cast<TQtCanvas*>(viewCanvas_.get())->Image(); };
    logic_->OnRedraw = [this] { Refresh(); };
}

void TForm2::CreatePalette() {
    paletteScroll_ = new QScrollArea(client_);
    paletteScroll_->setFrameShape(QFrame::NoFrame);
    paletteScroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    paletteScroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    paletteScroll_->setStyleSheet(QStringLiteral(
        "QScrollArea { background: black; }"
        "QScrollBar:vertical { width: 8px; background: #222222; margin: 0; border: none; }"
        "QScrollBar::handle:vertical { background: #FF8000; min-height: 20px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; border: none; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
    palette_ = new TComponentPalette(*logic_);
    // Every library type except TXT, in library order.
    std::vector<std::string> types;
    for (int i = 0; i < logic_->Library.Count(); ++i)
        if (logic_->Library.Items(i).Name != "TXT") types.push_back(logic_->Library.Items(i).Name);
    palette_->SetTypes(std::move(types));
    palette_->resize(114, palette_->sizeHint().height());
    paletteScroll_->setWidget(palette_);
    paletteScroll_->setGeometry(8, 32, 122, 600);
}

void TForm2::CreateParts() {
    view_ = new TEditorView(*editor_, *renderer_, area_, hbar_, vbar_, palette_, this);
    view_->PopupExec = [this](QMenu& menu, QPoint at) -> QAction* {
        return PopupExec ? PopupExec(menu, at) : menu.exec(at);
    };
    view_->OnStateChanged = [this] {
        UpdateStatus();
        UpdateEditMenu();
    };
    toolbar_ = new TMainToolbar(client_);
    toolbar_->OnNew = [this] { NewProject(); };
    toolbar_->OnOpen = [this] { OpenProject(); };
    toolbar_->OnSave = [this] { SaveProject(); };
    toolbar_->OnAddText = [this] { AddText(); };
    toolbar_->OnSimulate = [this] { StartSimulation(false); };
    toolbar_->OnLiveView = [this] { StartSimulation(true); };
    toolbar_->OnStop = [this] { StopSimulation(); };
    toolbar_->OnIndicatorClick = [this] { messages_.showHint(indicator_.ClickMessage()); };
    statusBar_ = new TStatusPanel(client_);

    fileDialogs_ = std::make_unique<TWindowFileDialogs>(*dialogs_, this);
    files_ = std::make_unique<TFileController>(*editor_, messages_, *fileDialogs_);
    files_->OnLog = [](const std::string& line) { LogAction(line); };
    files_->OnChanged = [this] { UpdateStatus(); };
    files_->StopSimulation = [this] {
        if (!sim_->Running()) return false;
        StopSimulation();
        return true;
    };
    files_->StartSimulation = [this] { StartSimulation(false); };
    files_->AfterOpen = [this] {
        // The link talks to the opened project's device.
        if (Link()) Link()->SetAddress(logic_->DeviceAddress);
    };
    link_ = new TLinkControl(this);
    link_->OnLog = [](const std::string& line) { LogAction(line); };
    link_->OnChanged = [this] { ShowLinkTexts(); };
}

void TForm2::ReadViewSettings() {
    const bool info = settings_->ReadBool(settings::kConfig, settings::kInfo, true);
    logic_->show_info(info);
    actInfo_->setChecked(info);
    const std::string letter = settings_->ReadString(settings::kKey, settings::kAendern, "E");
    // An empty letter leaves Ctrl+key without effect.
    editor_->KeyLetter = letter.empty() ? '\0' : letter[0];
    NewProject();
    Progress(45);
    const bool raster = settings_->ReadBool(settings::kConfig, settings::kRaster, true);
    logic_->Raster = raster;
    actRaster_->setChecked(raster);
    const bool moveWindow = settings_->ReadBool(settings::kConfig, settings::kMoveWindow, true);
    logic_->AutoScroll = moveWindow;
    actMoveWindow_->setChecked(moveWindow);
}

void TForm2::OpenLink() {
    timerNetio_ = new QTimer(this);
    timerNetio_->setInterval(100);
    connect(timerNetio_, &QTimer::timeout, this, [this] { Guarded(this, [this] { DeviceTimerTick(); }); });
    CreateLiveView();
    if (setup_.LinkEnabled) {
        try {
            link_->Open({setup_.FirstPort, setup_.LastPort, setup_.DevicePort}, setup_.DeviceAddress);
        } catch (const Error&) {
            messages_.showError("Kein freier Prot für kommunikations zum V7300-NET-IO!");
            if (OnFatal)
                OnFatal();
            else
                QTimer::singleShot(0, qApp, [] { QApplication::exit(1); });
        }
    }
    if (setup_.Timers) timerNetio_->start();
}

void TForm2::Progress(int percent) {
    lastProgressWidth_ = static_cast<int>(std::nearbyint(percent / 100.0 * 431));
    if (start_) start_->Progress(percent);
}

void TForm2::ApplyGeometry() {
    const int top = settings_->ReadInteger(settings::kConfig, settings::kTop, 30);
    const int left = settings_->ReadInteger(settings::kConfig, settings::kLeft, 30);
    const int height = settings_->ReadInteger(settings::kConfig, settings::kHeight, 500);
    const int width = settings_->ReadInteger(settings::kConfig, settings::kWidth, 500);
    setGeometry(left, top, std::max(width, 200), std::max(height, 150));
}

void TForm2::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    Guarded(this, [this] { FirstShow(); });
}

void TForm2::FirstShow() {
    Log("FormShow");
    if (!firstShow_) return;
    Log("FormShowFirst");
    ApplyGeometry();
    Progress(80);
    Lcd()->SetLine(1, QStringLiteral("V7300 - Logik"));
    Lcd()->SetLine(2, QStringLiteral("Quellmark"));
    // The owner-drawn menu; the drawing area's pop-up menus look the same.
    static TDarkMenuStyle* style = new TDarkMenuStyle;
    menuBar()->setStyle(style);
    for (QMenu* m : menuBar()->findChildren<QMenu*>())
        m->setStyle(style);
    view_->ComponentPopup()->setStyle(style);
    view_->WirePopup()->setStyle(style);
    firstShow_ = false; // the command line may open message boxes that show the window again
    const std::string before = files_->FileName();
    ProcessCommandLine(setup_.Arguments);
    const bool opened = files_->FileName() != before && files_->FileName() != kNewFileName;
    if (!opened) {
        logic_->DeviceAddress = setup_.DeviceAddress;
        editor_->ResetHistory();
    }
    Progress(100);
    if (start_) {
        start_->close();
        start_->deleteLater();
        start_ = nullptr;
    }
    Layout();
}

// ---------------------------------------------------------------- layout and drawing

void TForm2::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Guarded(this, [this] { Layout(); });
}

void TForm2::WriteSettings(const std::function<void()>& write) {
    try {
        write();
    } catch (const Error& e) {
        // The geometry is written several times a second: the failure is shown once per run.
        if (settingsFailureShown_) return;
        settingsFailureShown_ = true;
        ReportException(this, e);
    }
}

void TForm2::WriteGeometry() {
    // Only when it changed. It is the geometry that ApplyGeometry sets (the window
    // without its frame), so that a window manager's frame does not move and grow
    // the window at every start; while maximized it is the geometry the window returns to.
    if (!settings_ || !isVisible()) return;
    const bool maximized = isMaximized();
    const QRect r = maximized && normalGeometry().isValid() ? normalGeometry() : geometry();
    const Geometry g{maximized, r.top(), r.left(), r.width(), r.height()};
    if (writtenGeometry_ && *writtenGeometry_ == g) return;
    writtenGeometry_ = g;
    WriteSettings([&] { settings_->WriteGeometry(g.maximized, g.top, g.left, g.width, g.height); });
}

void TForm2::Layout() {
    if (!client_ || !view_) return;
    WriteGeometry();
    const int cw = client_->width();
    const int ch = client_->height();
    UpdateSimulationStatus();
    // Nothing moved: only what is still to be drawn (or a running simulation's values).
    if (laidOut_ == QSize(cw, ch)) {
        view_->RefreshIfNeeded();
        return;
    }
    laidOut_ = QSize(cw, ch);
    const int statusHeight = 19;
    const int vbarWidth = 20;
    toolbar_->setGeometry(0, 0, cw, 27);
    paletteScroll_->setGeometry(8, 32, 122, std::max(ch - 50, 0));
    const int areaWidth = std::max(cw - 128 - vbarWidth - 5, 0);
    const int areaHeight = std::max(ch - 70, 0);
    area_->setGeometry(128, 31, areaWidth, areaHeight);
    const int hbarLeft = 8 + 122;
    const int hbarTop = ch - 20 - statusHeight + 2;
    hbar_->setGeometry(hbarLeft, hbarTop, std::max(cw - hbarLeft - vbarWidth, 0), 20);
    vbar_->setGeometry(cw - vbarWidth, 30, vbarWidth, std::max(hbarTop - 30, 0));
    statusBar_->setGeometry(0, ch - statusHeight, cw, statusHeight);
    // The view image covers the drawing area.
    const int bw = std::max(cw - 128 - 5, 1);
    const int bh = std::max(ch - 20, 1);
    if (viewCanvas_->Width() != bw || viewCanvas_->Height() != bh) viewCanvas_->SetSize(bw, bh);
    view_->Layout(areaWidth, areaHeight, ch);
    Refresh();
}

void TForm2::Refresh() {
    if (view_) view_->Refresh();
}

void TForm2::UpdateStatus() {
    if (!statusBar_ || !files_) return;
    statusBar_->SetText(QString::fromStdString(files_->DisplayedName()));
    statusBar_->SetZoom(QString::number(editor_->ZoomPercent()) + QStringLiteral(" %"));
}

// ---------------------------------------------------------------- the document

std::string TForm2::FileName() const {
    return files_->DisplayedName();
}
bool TForm2::Modified() const {
    return editor_->Modified();
}

void TForm2::MarkModified() {
    // What changed is one undo step; without a change the document still counts as modified.
    editor_->Commit();
    if (!editor_->Modified()) editor_->MarkUnsaved();
    UpdateStatus();
}

void TForm2::Set_Objekt_Vars(int index) {
    editor_->EditParameters(index);
}

void TForm2::ShowParameterDialog(int index) {
    if (ParameterDialog) {
        ParameterDialog(*logic_, index);
        return;
    }
    // The editor records a change as one undo step; a dialog that changed nothing leaves the document as it was.
    params::Set_Objekt_Vars(*logic_, index, this, messages_);
}

void TForm2::AddText() {
    editor_->AddComponent("TXT");
}

void TForm2::Find() {
    if (!editor_->CanFind()) return;
    std::optional<std::string> text;
    if (FindPrompt) {
        text = FindPrompt();
    } else {
        bool ok = false;
        const QString typed =
            QInputDialog::getText(this, QStringLiteral("Suchen"), QStringLiteral("Suchen nach:"),
                                  QLineEdit::Normal, QString(), &ok);
        if (ok) text = typed.toStdString();
    }
    if (!text) return;
    statusBar_->SetMessage(QString::fromStdString(editor_->Find(*text)));
}

void TForm2::FindNext() {
    statusBar_->SetMessage(QString::fromStdString(editor_->FindNext()));
}

// ---------------------------------------------------------------- command line

void TForm2::ProcessCommandLine(const QStringList& arguments) {
    for (const QString& arg : arguments) {
        const QString lower = arg.toLower();
        if (lower == QStringLiteral("-simulate"))
            StartSimulation(false);
        else if (lower == QStringLiteral("-min"))
            showMinimized();
        else if (fileExists(arg.toStdString()))
            files_->OpenPath(arg.toStdString(), true);
    }
}

// ---------------------------------------------------------------- keys and closing

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    bool consumed = false;
    Guarded(this, [&] {
        consumed = event->type() == QEvent::KeyPress
                       ? view_->KeyDown(key->key(), key->modifiers())
                       : (!key->isAutoRepeat() && view_->KeyUp(key->key(), key->modifiers()));
    });
    return consumed;
}

void TForm2::closeEvent(QCloseEvent* event) {
    bool mayClose = true;
    Guarded(this, [&] { mayClose = CloseQuery(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    sim_->Stop();
    timer1_->stop();
    timerNetio_->stop();
    live_->Stop();
    if (Lcd()) Lcd()->close();
    event->accept();
}

} // namespace v7300
