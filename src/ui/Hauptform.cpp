#include "ui/Hauptform.h"

#include "core/Error.h"
#include "core/FileIO.h"
#include "core/JpegWriter.h"
#include "device/LogicCompiler.h"
#include "device/UnitV7300EEPROMData.h"
#include "device/UnitV7300NETIO.h"
#include "model/LogicRenderer.h"
#include "project/ProjectFile.h"
#include "project/Settings.h"
#include "project/XmlProject.h"
#include "simulation/MailQueue.h"
#include "simulation/SimulationRuntime.h"
#include "simulation/SmtpSender.h"
#include "ui/About.h"
#include "ui/ActionLog.h"
#include "ui/ComponentPalette.h"
#include "ui/DrawingArea.h"
#include "ui/FileDialogs.h"
#include "ui/FileTypeRegistration.h"
#include "ui/FrmUserdefineSetter.h"
#include "ui/MenuStyle.h"
#include "ui/QtCanvas.h"
#include "ui/QtEffectPorts.h"
#include "ui/QtImage.h"
#include "ui/UnitError.h"
#include "ui/UnitStart.h"
#include "ui/Unit_Drucken.h"
#include "ui/Unit_LCD.h"
#include "ui/V7300Scrollbar.h"
#include "ui/Version.h"
#include "ui/device/Unit_Atmel_Beschreiben.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QSocketNotifier>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <cmath>
#include <filesystem>

namespace v7300 {

namespace {

int roundHalfEven(double v) { return static_cast<int>(std::nearbyint(v)); }

bool fileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

bool blank(const std::string& s) { return s.find_first_not_of(" \t") == std::string::npos; }

// The extension of a path, exactly as written ("" when none).
std::string extensionOf(const std::string& path) { return FileExtension(path); }

// The one-panel status bar: a red or green dot and the current file name.
class TStatusPanel : public QWidget {
public:
    explicit TStatusPanel(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }
    QString Text;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::black);
        const QRect r = rect();
        p.setPen(Qt::black);
        p.setBrush(Text.startsWith(QLatin1Char('*')) ? QColor(0xFF, 0, 0) : QColor(0, 0x80, 0));
        p.setRenderHint(QPainter::Antialiasing);
        p.drawEllipse(QRect(QPoint(r.top() + 2, r.top() + 2), QPoint(r.bottom() - r.top(), r.bottom() - r.top())));
        p.setPen(Qt::white);
        p.drawText(QRect(20, r.top(), r.width() - 20, r.height()), Qt::AlignLeft | Qt::AlignVCenter, Text);
    }
};

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
    default: // stop
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xDD, 0x22, 0x22));
        p.drawRect(3, 3, 10, 10);
        break;
    }
    return QIcon(pm);
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
    if (simulation_) simulation_->Simulation_abbrechen();
    simulation_.reset();
    if (logic_) logic_->OnRedraw = nullptr;
    SetActionLogClock(nullptr);
}

void TForm2::Log(const std::string& text) { LogAction(text); }

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
    client_->setAutoFillBackground(true);
    {
        QPalette pal = client_->palette();
        pal.setColor(QPalette::Window, Qt::black);
        client_->setPalette(pal);
    }
    setCentralWidget(client_);
    resize(745, 716 + 22);

    hbar_ = new TV7300Scrollbar(0, client_);
    vbar_ = new TV7300Scrollbar(1, client_);
    hbar_->OnScroll = [this](TV7300Scrollbar&, int) { HorizontalScroll(); };
    vbar_->OnScroll = [this](TV7300Scrollbar&, int) { VerticalScroll(); };
    hbar_->resize(100, 20);
    vbar_->resize(20, 100);

    setAttribute(Qt::WA_OpaquePaintEvent);
    firstShow_ = true;
    modified_ = false;

    logic_ = std::make_unique<TLogic>(setup_.LibraryFolder, messages_);
    area_ = new TDrawingArea(client_);
    area_->setGeometry(128, 31, 600, 600);
    view_ = std::make_unique<TQtCanvas>();
    renderer_ = std::make_unique<TLogicRenderer>(*logic_, clock_, [] { return std::make_unique<TQtCanvas>(); });
    renderer_->View = view_.get();
    renderer_->OnRefresh = [this] { area_->update(); };
    area_->OnPainted = [this] {
        if (firstShow_ || !OnFirstDiagram) return;
        auto report = std::move(OnFirstDiagram);
        OnFirstDiagram = nullptr;
        report();
    };
    area_->Picture = [this] { return &static_cast<TQtCanvas*>(view_.get())->Image(); };
    logic_->OnRedraw = [this] { Refresh(); };
    Progress(5);

    // The simulation with the editor's effects. The LCD window exists before any
    // worker can start, and the worker's port keeps it for its whole life.
    lcd_ = new TFrmLCD(this);
    lcdPort_ = std::make_unique<TQtLcdPort>(*lcd_);
    execPort_ = std::make_unique<TQtExecPort>();
    playPort_ = std::make_unique<TQtPlayPort>();
    mails_ = std::make_unique<TMailQueue>(std::make_unique<CurlSmtpSender>(), [](const std::string& line) {
        // The mail thread reports here; the action log belongs to the user-interface thread.
        if (qApp) QMetaObject::invokeMethod(qApp, [line] { LogAction(line); }, Qt::QueuedConnection);
    });
    simInput_ = std::make_unique<TQtSimInputPort>(this, [this](const std::string& component, int value) {
        if (simulation_) simulation_->Simulator().SetInputValue(component, 1, value);
    });
    TEffectPorts effects;
    effects.Lcd = lcdPort_.get();
    effects.Exec = execPort_.get();
    effects.Play = playPort_.get();
    effects.Smtp = mails_.get();
    effects.Ui = simInput_.get();
    simulation_ = std::make_unique<TLogicSimulation>(*logic_, clock_, effects);

    WorldSize = {kDocumentSize, kDocumentSize};
    ScrollOffset = {0, 0};
    renderer_->Resize(WorldSize, ScrollOffset);

    // Idle work: every 100th time the event loop runs dry, a redraw.
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            if (++idleCounter_ % 100 == 0) Guarded(this, [this] { Refresh(); });
        });
    }

    // The palette: every library type except TXT, in library order.
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
    std::vector<std::string> types;
    for (int i = 0; i < logic_->Library.Count(); ++i)
        if (logic_->Library.Items(i).Name != "TXT") types.push_back(logic_->Library.Items(i).Name);
    palette_->SetTypes(std::move(types));
    palette_->resize(114, palette_->sizeHint().height());
    paletteScroll_->setWidget(palette_);
    paletteScroll_->setGeometry(8, 32, 122, 600);
    palette_->OnPick = [this](const std::string& name) { draggedType_ = name; };
    palette_->OnDoubleClick = [this](const std::string& name) { PaletteDoubleClick(name); };
    Progress(30);

    // Drawing-area gestures.
    area_->OnMouseDown = [this](QMouseEvent* e) { AreaMouseDown(e->button()); };
    area_->OnMouseMove = [this](QMouseEvent* e) {
        AreaMouseMove(static_cast<int>(e->position().x()), static_cast<int>(e->position().y()));
    };
    area_->OnMouseUp = [this](QMouseEvent* e) {
        AreaMouseUp(e->button(), static_cast<int>(e->position().x()), static_cast<int>(e->position().y()));
    };
    area_->OnDoubleClick = [this](QMouseEvent*) { AreaDoubleClick(); };
    area_->OnWheel = [this](QWheelEvent* e) {
        return AreaWheel(e->position().toPoint(), e->angleDelta().y());
    };
    area_->OnDragOver = [this](const QMimeData*, QPoint p) { return DropAccepted(p.x(), p.y()); };
    area_->OnDrop = [this](const QMimeData* mime, QPoint p) {
        std::string type = draggedType_;
        if (mime && mime->hasFormat(kPaletteMime)) type = mime->data(kPaletteMime).toStdString();
        if (!type.empty() && DropAccepted(p.x(), p.y())) DropAt(type, p.x(), p.y());
    };

    BuildToolbar();
    statusBar_ = new TStatusPanel(client_);
    BuildMenu();

    popupObjekt_ = new QMenu(this);
    popupObjekt_->addAction(QStringLiteral("Bearbeiten / Informationen"), this, [this] {
        Set_Objekt_Vars(logic_->get_objekt_id(logic_->get_Sel_Objekt(), false));
    });
    popupObjekt_->addAction(QStringLiteral("Löschen"), this, [this] {
        if (logic_->get_Sel_Objekt().empty()) return;
        logic_->delete_sel_objekt();
        MarkModified();
        Refresh();
    });
    popupWire_ = new QMenu(this);
    popupWire_->addAction(QStringLiteral("Teilen"), this, [this] { SplitWire(); });

    timer1_ = new QTimer(this);
    timer1_->setInterval(200);
    connect(timer1_, &QTimer::timeout, this, [this] { Guarded(this, [this] { Layout(); }); });
    if (setup_.Timers) timer1_->start();

    settings_ = std::make_unique<TSettingsFile>(setup_.SettingsFile);
    const bool info = settings_->ReadBool(settings::kConfig, settings::kInfo, true);
    logic_->show_info(info);
    actInfo_->setChecked(info);
    const std::string letter = settings_->ReadString(settings::kKey, settings::kAendern, "E");
    // An empty letter leaves Ctrl+key without effect.
    KeyLetter = letter.empty() ? '\0' : letter[0];

    NewProject();
    Progress(45);

    const bool raster = settings_->ReadBool(settings::kConfig, settings::kRaster, true);
    logic_->Raster = raster;
    actRaster_->setChecked(raster);
    const bool moveWindow = settings_->ReadBool(settings::kConfig, settings::kMoveWindow, true);
    logic_->AutoScroll = moveWindow;
    actMoveWindow_->setChecked(moveWindow);

    timerNetio_ = new QTimer(this);
    timerNetio_->setInterval(100);
    connect(timerNetio_, &QTimer::timeout, this, [this] { Guarded(this, [this] { DeviceTimerTick(); }); });
    tmrLiveMode_ = new QTimer(this);
    if (setup_.LinkEnabled) {
        try {
            TLinkPorts ports;
            ports.FirstListenPort = setup_.FirstPort;
            ports.LastListenPort = setup_.LastPort;
            ports.DevicePort = setup_.DevicePort;
            link_ = std::make_unique<TV7300NETIO>(ports);
            link_->SetAddress(setup_.DeviceAddress);
            link_->SetTelegramHandler([this](const TV7300Telegram& t) { OnTelegram(t); });
            linkNotifier_ = new QSocketNotifier(link_->Link().Descriptor(), QSocketNotifier::Read, this);
            connect(linkNotifier_, &QSocketNotifier::activated, this,
                    [this] { Guarded(this, [this] { link_->Link().ReadPending(); }); });
            if (link_->Link().BroadcastDescriptor() >= 0) {
                broadcastNotifier_ =
                    new QSocketNotifier(link_->Link().BroadcastDescriptor(), QSocketNotifier::Read, this);
                connect(broadcastNotifier_, &QSocketNotifier::activated, this,
                        [this] { Guarded(this, [this] { link_->Link().ReadPending(); }); });
            }
        } catch (const Error&) {
            messages_.showError("Kein freier Prot für kommunikations zum V7300-NET-IO!");
            if (OnFatal)
                OnFatal();
            else
                QTimer::singleShot(0, qApp, [] { QApplication::exit(1); });
        }
    }
    if (setup_.Timers) timerNetio_->start();

    ApplyGeometry();
    Progress(70);
    Layout();
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
    lcd_->SetLine(1, QStringLiteral("V7300 - Logik"));
    lcd_->SetLine(2, QStringLiteral("Quellmark"));
    // The owner-drawn menu; the drawing area's pop-up menus look the same.
    static TDarkMenuStyle* style = new TDarkMenuStyle;
    menuBar()->setStyle(style);
    for (QMenu* m : menuBar()->findChildren<QMenu*>()) m->setStyle(style);
    popupObjekt_->setStyle(style);
    popupWire_->setStyle(style);
    firstShow_ = false; // the command line may open message boxes that show the window again
    const bool opened = [this] {
        const std::string before = fileName_;
        ProcessCommandLine(setup_.Arguments);
        return fileName_ != before && fileName_ != "New File";
    }();
    if (!opened) logic_->DeviceAddress = setup_.DeviceAddress;
    Progress(100);
    if (start_) {
        start_->close();
        start_->deleteLater();
        start_ = nullptr;
    }
    Layout();
}

void TForm2::BuildMenu() {
    QMenuBar* bar = menuBar();
    bar->setNativeMenuBar(false);
    bar->setAutoFillBackground(true);
    auto add = [this](QMenu* menu, const QString& caption, const QKeySequence& key, auto&& slot) {
        QAction* a = menu->addAction(caption);
        if (!key.isEmpty()) a->setShortcut(key);
        connect(a, &QAction::triggered, this, [this, slot](bool checked) { Guarded(this, [&] { slot(checked); }); });
        return a;
    };
    QMenu* datei = bar->addMenu(QStringLiteral("Datei"));
    add(datei, QStringLiteral("Neu"), QKeySequence(Qt::CTRL | Qt::Key_N), [this](bool) { NewProject(); });
    add(datei, QStringLiteral("Öffnen"), QKeySequence(Qt::CTRL | Qt::Key_O), [this](bool) { OpenProject(); });
    add(datei, QStringLiteral("Speichern"), QKeySequence(Qt::CTRL | Qt::Key_S), [this](bool) { SaveProject(); });
    add(datei, QStringLiteral("Speichern Unter"), QKeySequence(), [this](bool) { SaveProjectAs(); });
    datei->addSeparator();
    // "Drucken" is not shown in the menu; its shortcut works.
    auto* drucken = new QAction(QStringLiteral("Drucken"), this);
    drucken->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    drucken->setShortcutContext(Qt::WindowShortcut);
    connect(drucken, &QAction::triggered, this, [this] { Guarded(this, [this] { PrintDiagram(); }); });
    addAction(drucken);
    QMenu* exportMenu = datei->addMenu(QStringLiteral("Exportieren"));
    add(exportMenu, QStringLiteral("Bilddatei (*.bmp)"), QKeySequence(), [this](bool) { ExportPicture(0); });
    add(exportMenu, QStringLiteral("JPEG-Bilddatei (*.jpg)"), QKeySequence(), [this](bool) { ExportPicture(1); });
    add(exportMenu, QStringLiteral("PNG-Bilddatei (*.png)"), QKeySequence(), [this](bool) { ExportPicture(2); });
    exportMenu->addAction(QStringLiteral("Hochladen auf V7300"))->setEnabled(false);
    datei->addSeparator();
    add(datei, QStringLiteral("Beenden"), QKeySequence(Qt::ALT | Qt::Key_F4), [this](bool) { close(); });

    QMenu* ansicht = bar->addMenu(QStringLiteral("Ansicht"));
    actInfo_ = add(ansicht, QStringLiteral("Beschriftung"), QKeySequence(Qt::CTRL | Qt::Key_I), [this](bool on) {
        WriteSettings([&] { settings_->WriteBool(settings::kConfig, settings::kInfo, on); });
        logic_->show_info(on);
        Refresh();
    });
    actInfo_->setCheckable(true);
    actRaster_ = add(ansicht, QStringLiteral("Raster"), QKeySequence(), [this](bool on) {
        WriteSettings([&] { settings_->WriteBool(settings::kConfig, settings::kRaster, on); });
        logic_->Raster = on;
        Refresh();
    });
    actRaster_->setCheckable(true);
    actMoveWindow_ = add(ansicht, QStringLiteral("Fenster mit Maus bewegen"), QKeySequence(), [this](bool) {
        logic_->AutoScroll = !logic_->AutoScroll;
        WriteSettings([&] { settings_->WriteBool(settings::kConfig, settings::kMoveWindow, logic_->AutoScroll); });
    });
    actMoveWindow_->setCheckable(true);

    QMenu* netio = bar->addMenu(QStringLiteral("V7300-NET-IO"));
    QMenu* konfig = netio->addMenu(QStringLiteral("Konfiguration"));
    add(konfig, QStringLiteral("Verbindung"), QKeySequence(), [this](bool) {
        if (!link_) return;
        const QString current = QString::fromStdString(link_->GetAddress());
        bool ok = false;
        const QString text = QInputDialog::getText(this, QStringLiteral("V7300-NET-IO IP-Adresse"),
                                                   QStringLiteral("IP-Adresse:"), QLineEdit::Normal, current, &ok);
        link_->SetAddress((ok ? text : current).toStdString());
    });
    // Windows that come with later work: present, without action.
    konfig->addAction(QStringLiteral("V²BUS"));
    konfig->addAction(QStringLiteral("Anzeige"));
    QMenu* updaten = netio->addMenu(QStringLiteral("Updaten"));
    add(updaten, QStringLiteral("Firmware (V7300 Programmer erforderlich)"), QKeySequence(),
        [this](bool) {
            Log("Firmware Update");
            ShowAtmelBeschreiben(this, messages_, clock_, directoryOf(setup_.ProgramPath));
        });
    add(updaten, QStringLiteral("Logik"), QKeySequence(Qt::Key_F5), [this](bool) { TransferProgram(); });
    actLiveMenu_ = nullptr;

    QMenu* tools = bar->addMenu(QStringLiteral("Tools"));
    TToolsPorts toolsPorts = QtToolsPorts();
    if (setup_.ToolsPorts.OpenUrl) toolsPorts.OpenUrl = setup_.ToolsPorts.OpenUrl;
    if (setup_.ToolsPorts.StartProgram) toolsPorts.StartProgram = setup_.ToolsPorts.StartProgram;
    // An undo step of the address change belongs here, beside the marker.
    toolsPorts.DocumentChanged = [this] { MarkModified(); };
    toolsPorts.PrintBusListing = setup_.ToolsPorts.PrintBusListing; // the bus listing print-out, when built
    tools_ = std::make_unique<TToolsMenu>(*logic_, messages_, setup_.SettingsFile, directoryOf(setup_.ProgramPath),
                                          std::move(toolsPorts));
    add(tools, QStringLiteral("Webinterface öffnen"), QKeySequence(), [this](bool) { tools_->OpenWebinterface(); });
    add(tools, QStringLiteral("V7300-NET-IO Control (PC Version)"), QKeySequence(),
        [this](bool) { tools_->StartControlProgram(); });
    add(tools, QStringLiteral("V7300-NET-IO-Designer"), QKeySequence(), [this](bool) { tools_->OpenDesigner(); });
    add(tools, QStringLiteral("Hardware Anschlussbeschreibung"), QKeySequence(),
        [this](bool) { tools_->PrintHardwareDescription(); });

    QMenu* hilfe = bar->addMenu(QStringLiteral("Hilfe"));
    add(hilfe, QStringLiteral("Programm Informationen"), QKeySequence(Qt::Key_F1), [this](bool) {
        if (!about_) about_ = new TAboutBox(this);
        about_->exec();
    });
}

void TForm2::BuildToolbar() {
    toolbar_ = new QWidget(client_);
    toolbar_->setGeometry(0, 0, 745, 27);
    toolbar_->setAutoFillBackground(true);
    QPalette pal = toolbar_->palette();
    pal.setColor(QPalette::Window, Qt::black);
    toolbar_->setPalette(pal);
    int x = 4;
    auto button = [&](const QString& tip, int icon, auto&& slot) {
        auto* b = new QToolButton(toolbar_);
        b->setGeometry(x, 3, 23, 20);
        b->setAutoRaise(true);
        b->setToolTip(tip);
        if (icon >= 0) b->setIcon(toolIcon(icon));
        connect(b, &QToolButton::clicked, this, [this, slot] { Guarded(this, [&] { slot(); }); });
        x += 23;
        return b;
    };
    button(QStringLiteral("Neu"), 0, [this] { NewProject(); });
    button(QStringLiteral("Öffnen"), 1, [this] { OpenProject(); });
    button(QStringLiteral("Speichern"), 2, [this] { SaveProject(); });
    x += 12;
    QToolButton* t = button(QStringLiteral("Text hinzufügen"), -1, [this] { AddText(); });
    t->setText(QStringLiteral("T"));
    t->setStyleSheet(QStringLiteral("QToolButton { color: white; font-weight: bold; }"));
    x += 12;
    btnSim_ = button(QStringLiteral("Simulation Starten"), 3, [this] { StartSimulation(false); });
    btnLive_ = button(QStringLiteral("LiveView Starten "), 4, [] {
        // The live view comes with later work.
    });
    btnLive_->setProperty("liveView", true);
    btnStop_ = button(QStringLiteral("Simulation/LiveView Stoppen"), 5, [this] { StopSimulation(); });
    btnStop_->setEnabled(false);
    x += 16;
    auto* indicator = new TSizeIndicator(toolbar_);
    indicatorLeft_ = x;
    indicator->setGeometry(x, 3, 122, 20);
    indicator->setCursor(Qt::PointingHandCursor);
    indicator->setAlignment(Qt::AlignCenter);
    indicator->setStyleSheet(QStringLiteral("QLabel { background: black; color: white; }"));
    indicator->setText(QStringLiteral("0 / 100 [XXX Byte]"));
    indicator->OnClick = [this] {
        messages_.showHint(indicatorError_.empty() ? std::string("Keine Fehler vorhanden!") : indicatorError_);
    };
    panelFalshSize_ = indicator;
    x += 122 + 16;
    P_HardwareStatus_ = new QLabel(QStringLiteral("---"), toolbar_);
    P_HardwareStatus_->setGeometry(x, 3, 214, 20);
    P_HardwareStatus_->setAlignment(Qt::AlignCenter);
    P_HardwareStatus_->setStyleSheet(QStringLiteral("QLabel { background: #222222; color: white; }"));
    x += 214 + 16;
    labelStatusEx_ = new QLabel(toolbar_);
    labelStatusEx_->setGeometry(x, 3, 300, 20);
    labelStatusEx_->setStyleSheet(QStringLiteral("QLabel { color: white; }"));
    PlaceToolbarPanels();
}

// The indicator and the link-status panel are as wide as their texts (at least their
// design widths, 122 and 214 pixels); what stands right of them moves along.
void TForm2::PlaceToolbarPanels() {
    const auto widthFor = [](const QLabel* label, int designWidth) {
        return std::max(designWidth, label->fontMetrics().horizontalAdvance(label->text()) + 12);
    };
    const int indicatorWidth = widthFor(panelFalshSize_, 122);
    const int statusLeft = indicatorLeft_ + indicatorWidth + 16;
    const int statusWidth = widthFor(P_HardwareStatus_, 214);
    const int extraLeft = statusLeft + statusWidth + 16;
    if (panelFalshSize_->width() != indicatorWidth) panelFalshSize_->setGeometry(indicatorLeft_, 3, indicatorWidth, 20);
    if (P_HardwareStatus_->geometry() != QRect(statusLeft, 3, statusWidth, 20))
        P_HardwareStatus_->setGeometry(statusLeft, 3, statusWidth, 20);
    const int extraWidth = std::max(300, toolbar_->width() - extraLeft);
    if (labelStatusEx_->geometry() != QRect(extraLeft, 3, extraWidth, 20))
        labelStatusEx_->setGeometry(extraLeft, 3, extraWidth, 20);
}

QAction* TForm2::Action(const QString& caption) const {
    for (QAction* a : findChildren<QAction*>())
        if (MenuCaption(a->text()) == caption) return a;
    return nullptr;
}

// ---------------------------------------------------------------- layout and drawing

void TForm2::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Guarded(this, [this] { Layout(); });
}

void TForm2::Layout() {
    if (!client_ || !area_) return;
    const int cw = client_->width();
    const int ch = client_->height();
    const int statusHeight = 19;
    const int h = (WorldSize.x - area_->width() + 25) / 20;
    if (h > 0) {
        hbar_->SetMax(h);
        hbar_->setEnabled(true);
    } else {
        ScrollOffset.x = 0;
        hbar_->SetMax(0);
        hbar_->Position = 0;
        hbar_->setEnabled(false);
    }
    const int v = (WorldSize.y - ch + 75) / 20;
    if (v > 0) {
        vbar_->SetMax(v);
        vbar_->setEnabled(true);
    } else {
        ScrollOffset.y = 0;
        vbar_->SetMax(0);
        vbar_->setEnabled(false);
    }
    // The geometry goes to the settings only when it changed. It is the geometry
    // that ApplyGeometry sets (the window without its frame), so that a window
    // manager's frame does not move and grow the window at every start; while
    // maximized it is the geometry the window returns to.
    if (settings_ && isVisible()) {
        const bool maximized = isMaximized();
        const QRect r = maximized && normalGeometry().isValid() ? normalGeometry() : geometry();
        const Geometry g{maximized, r.top(), r.left(), r.width(), r.height()};
        if (!writtenGeometry_ || !(*writtenGeometry_ == g)) {
            writtenGeometry_ = g;
            WriteSettings([&] { settings_->WriteGeometry(g.maximized, g.top, g.left, g.width, g.height); });
        }
    }
    toolbar_->setGeometry(0, 0, cw, 27);
    PlaceToolbarPanels();
    paletteScroll_->setGeometry(8, 32, 122, std::max(ch - 50, 0));
    const int vbarWidth = 20;
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
    if (view_->Width() != bw || view_->Height() != bh) view_->SetSize(bw, bh);
    renderer_->Resize(WorldSize, ScrollOffset);
    Refresh();
}

void TForm2::Refresh() {
    if (renderer_ && renderer_->RePaint()) area_->update();
}

void TForm2::SetFileName(const std::string& name) {
    fileName_ = name;
    UpdateStatus();
}

void TForm2::UpdateStatus() {
    auto* panel = static_cast<TStatusPanel*>(statusBar_);
    if (!panel) return;
    panel->Text = QString::fromStdString(fileName_);
    panel->update();
}

void TForm2::MarkModified() {
    modified_ = true;
    if (fileName_.empty() || fileName_[0] != '*') fileName_ = "* " + fileName_;
    UpdateStatus();
}

// ---------------------------------------------------------------- file commands

bool TForm2::AskSaveChanges() {
    if (!modified_) return true;
    const MsgButton answer = messages_.show({"Speichern", "Sollen die Änderungen gespeichert werden?",
                                             MsgIcon::Question, MbYes | MbNo | MbCancel, MbYes});
    if (answer == MbCancel) return false;
    if (answer == MbYes) return SaveProject();
    return true;
}

void TForm2::NewProject() {
    Log("Neues Projekt");
    if (logic_->get_objekt_id("IN1", false) != -1) {
        const MsgButton answer =
            messages_.show({"INFO", "Bestehende daten werden gelöscht!", MsgIcon::None, MbOk | MbCancel, MbOk});
        if (answer == MbCancel) return;
    }
    // Unsaved work is never dropped without asking.
    if (!AskSaveChanges()) return;
    if (simulation_ && simulation_->Simulating()) StopSimulation();
    logic_->NewProject();
    modified_ = false;
    SetFileName("New File");
    Refresh();
}

void TForm2::OpenProject() {
    Log("Open");
    if (!AskSaveChanges()) return;
    const std::string path = dialogs_->OpenFile(
        this, "V7300-Datei (*.v7k)|*.v7k|LOGIK FILES (*.V7300_Logik)|*.V7300_Logik", ".V7300_Logik");
    if (path.empty()) return;
    OpenFile(path, false);
    if (link_) {
        link_->SetAddress(logic_->DeviceAddress);
        link_->SetTelegramHandler([this](const TV7300Telegram& t) { OnTelegram(t); });
    }
}

bool TForm2::OpenFile(const std::string& path, bool commandLineRule) {
    // The document is never replaced under a running simulation; a simulation
    // started before (the command line's "-simulate") goes on with the new diagram.
    const bool wasSimulating = simulation_ && simulation_->Simulating();
    if (wasSimulating) StopSimulation();
    const bool ok = ReadProjectFile(path, commandLineRule);
    if (wasSimulating) StartSimulation(false);
    return ok;
}

bool TForm2::ReadProjectFile(const std::string& path, bool commandLineRule) {
    // What the document held, so that a file that cannot be read leaves it as it was.
    TLogicComponentList components = logic_->Components;
    TWireList wires = logic_->Wires;
    auto shown = logic_->ShownTexts;
    const auto options = std::make_tuple(logic_->Quarz, logic_->ModuleNumber, logic_->DeviceModel,
                                         logic_->NetioActive, logic_->NetioHost, logic_->NetioPort,
                                         logic_->NetioDelay, logic_->NetioDisplay, logic_->LptActive,
                                         logic_->LptAddress, logic_->DeviceAddress);
    bool ok = false;
    try {
        ok = commandLineRule ? OpenProjectFile(*logic_, path) : OpenProjectFileFromDialog(*logic_, path);
    } catch (const Error& e) {
        messages_.showError(e.what());
        ok = false;
    }
    if (!ok) {
        logic_->Components = std::move(components);
        logic_->Wires = std::move(wires);
        logic_->ShownTexts = std::move(shown);
        std::tie(logic_->Quarz, logic_->ModuleNumber, logic_->DeviceModel, logic_->NetioActive, logic_->NetioHost,
                 logic_->NetioPort, logic_->NetioDelay, logic_->NetioDisplay, logic_->LptActive,
                 logic_->LptAddress, logic_->DeviceAddress) = options;
        logic_->Select_Objekt("");
        Refresh();
        return false;
    }
    modified_ = false;
    SetFileName(path);
    Refresh();
    return true;
}

bool TForm2::SaveToCurrentName() {
    if (extensionOf(fileName_) != ".v7k") fileName_ += ".v7k";
    try {
        SaveXml(*logic_, fileName_);
    } catch (const Error& e) {
        messages_.showError(e.what());
        MarkModified();
        return false;
    }
    modified_ = false;
    UpdateStatus();
    return true;
}

bool TForm2::SaveProject() {
    Log("Save");
    const std::string marked = fileName_;
    if (fileName_.rfind("*", 0) == 0) fileName_ = fileName_.size() >= 2 ? fileName_.substr(2) : std::string();
    if (fileExists(fileName_)) return SaveToCurrentName();
    if (SaveProjectAs()) return true;
    // Nothing was written: the marker stays.
    fileName_ = marked;
    UpdateStatus();
    return false;
}

bool TForm2::SaveProjectAs() {
    Log("Save As v7k");
    const std::string path = dialogs_->SaveFile(this, "V7300 (*.v7k)|*.v7k", ".v7k");
    if (path.empty()) return false;
    try {
        SaveXml(*logic_, path);
    } catch (const Error& e) {
        messages_.showError(e.what());
        return false;
    }
    modified_ = false;
    SetFileName(path);
    return true;
}

void TForm2::ExportPicture(int kind) {
    static const char* tags[] = {"Save As BMP", "Save As JPG", "Save PNG"};
    static const char* filters[] = {"Bilddatei (*.bmp)|*.bmp", "Bilddatei (*.jpg)|*.jpg", "Bilddatei (*.png)|*.png"};
    static const char* exts[] = {".bmp", ".jpg", ".png"};
    Log(tags[kind]);
    const std::string path = dialogs_->SaveFile(this, filters[kind], exts[kind]);
    if (path.empty()) return;
    if (kind == 0) {
        renderer_->Export_Bild(path);
        return;
    }
    try {
        const std::optional<Image> picture = renderer_->Get_Bild();
        if (!picture) return;
        const std::string bytes = kind == 2 ? encodePng(*picture) : encodeJpeg(*picture);
        writeFileAtomic(path, bytes);
    } catch (const std::exception& e) {
        messages_.showPlain(std::string("Speichern Fehlgeschlagen!\r\n") + e.what());
    }
}

void TForm2::PrintDiagram() {
    Log("Drucken");
    const std::optional<Image> picture = renderer_->Get_Bild();
    if (!picture) return;
    if (!print_) {
        print_ = new TFrmDrucken(clock_, this);
        print_->Messages = &messages_;
        print_->Dialogs = dialogs_;
    }
    print_->SetPicture(toQImage(*picture), QString::fromStdString(fileName_));
    print_->move(geometry().center() - QPoint(print_->width() / 2, print_->height() / 2));
    print_->exec();
}

void TForm2::AddText() {
    if (logic_->Add_objekt("TXT", "", 0, 0) >= 0) MarkModified();
    Refresh();
}

// ---------------------------------------------------------------- command line

void TForm2::ProcessCommandLine(const QStringList& arguments) {
    for (const QString& arg : arguments) {
        const QString lower = arg.toLower();
        if (lower == QStringLiteral("-simulate")) {
            StartSimulation(false);
        } else if (lower == QStringLiteral("-min")) {
            showMinimized();
        } else if (fileExists(arg.toStdString())) {
            OpenFile(arg.toStdString(), true);
        }
    }
}

// ---------------------------------------------------------------- simulation

void TForm2::StartSimulation(bool liveView) {
    Log("Simulation/LiveView Starten");
    labelStatusEx_->clear();
    btnStop_->setEnabled(true);
    btnSim_->setEnabled(false);
    btnLive_->setEnabled(false);
    simulation_->Simulate(setup_.SimulationWorker);
    if (!liveView) {
        SetLinkStatus(QStringLiteral("Lokale Simulation"));
    } else {
        simulation_->StopSimThread();
        Log("Create CRC");
        expectedCrc_ = GetCrc(*logic_);
        SetLinkStatus(QStringLiteral("Live View (Connecting)"));
    }
    Refresh();
}

void TForm2::StopSimulation() {
    Log("Stop Simulation");
    try {
        tmrLiveMode_->stop();
        simulation_->Simulation_abbrechen();
        mails_->DropPending();
        playPort_->Stop();
    } catch (...) {
        // stopping never fails visibly
    }
    btnStop_->setEnabled(false);
    btnSim_->setEnabled(true);
    btnLive_->setEnabled(linkCountdown_ >= 1);
    Refresh();
}

// ---------------------------------------------------------------- device

void TForm2::TransferProgram() {
    if (logic_->Components.CountWithoutTXT() >= 100) {
        messages_.showError("Zu viele Logikbausteine. Die Logik kann nicht übertragen werden!");
        return;
    }
    TV7300_EEPROM_Data image;
    try {
        CreateNETIOData(*logic_, image);
    } catch (const Error& e) {
        messages_.showError(std::string("Datensatz kann nicht erstellt werden!\r\n") + e.what());
        return;
    }
    Log("Create CRC");
    expectedCrc_ = GetCrc(*logic_);
    // The transfer window comes with later work.
}

void TForm2::SetLinkStatus(const QString& text) {
    if (P_HardwareStatus_->text() == text) return;
    P_HardwareStatus_->setText(text);
    PlaceToolbarPanels();
}

template <typename F>
void TForm2::WriteSettings(F&& write) {
    try {
        write();
    } catch (const Error& e) {
        // The geometry is written several times a second: the failure is shown once per run.
        if (settingsFailureShown_) return;
        settingsFailureShown_ = true;
        ReportException(this, e);
    }
}

void TForm2::DeviceTimerTick() {
    if (link_ && !tmrLiveMode_->isActive()) LinkWatchTick();
    IndicatorTick();
}

// The link watch of the device timer: a ping, and the status from the replies counted down.
void TForm2::LinkWatchTick() {
    const QString address = QString::fromStdString(link_->GetAddress());
    const bool simulating = simulation_->Simulating();
    if (blank(link_->GetAddress())) {
        // Nothing is sent until an address is set under "Verbindung".
        linkCountdown_ = 0;
        if (!simulating) SetLinkStatus(QStringLiteral("Keine Geräteadresse eingestellt"));
        btnLive_->setEnabled(false);
        return;
    }
    link_->Ping();
    if (linkCountdown_ < 1) {
        const QString text = QStringLiteral("Keine Verbindung zu ") + address;
        if (!simulating) SetLinkStatus(text);
        btnLive_->setEnabled(false);
        Log(text.toStdString());
    } else {
        const int quality = static_cast<int>(std::lround(linkQuality_ * 100.0 / 9.0));
        if (!simulating)
            SetLinkStatus(QStringLiteral("Verbunden mit ") + address + QStringLiteral(" (") +
                          QString::number(quality) + QStringLiteral("%)"));
        btnLive_->setEnabled(!simulating);
        Log("Verbunden mit " + address.toStdString());
        --linkCountdown_;
    }
}

void TForm2::IndicatorTick() {
    TV7300_EEPROM_Data image;
    indicatorError_.clear();
    int size = 0;
    bool red = false;
    try {
        CreateNETIOData(*logic_, image);
        size = image.GetSize();
    } catch (const Error& e) {
        indicatorError_ = e.what();
        size = -1;
        red = true;
    }
    const int count = logic_->Components.CountWithoutTXT();
    if (count > 99) {
        indicatorError_ = "Es können nur maximal 100 Bausteine benutzt werden!";
        red = true;
    }
    QString caption;
    if (size < 0) {
        caption = QStringLiteral("Fehler [??? Bytes]");
        const bool raised = panelFalshSize_->frameShadow() == QFrame::Raised;
        panelFalshSize_->setFrameStyle(QFrame::Panel | (raised ? QFrame::Sunken : QFrame::Raised));
    } else {
        caption = QString::number(count) + QStringLiteral(" / 100 [") + QString::number(size) +
                  QStringLiteral(" Bytes]");
        panelFalshSize_->setFrameStyle(QFrame::NoFrame);
    }
    const QString style =
        red ? QStringLiteral("QLabel { background: black; color: red; }") : QStringLiteral("QLabel { background: black; color: white; }");
    if (panelFalshSize_->styleSheet() != style) panelFalshSize_->setStyleSheet(style);
    if (panelFalshSize_->text() != caption) {
        panelFalshSize_->setText(caption);
        PlaceToolbarPanels();
    }
}

void TForm2::OnTelegram(const TV7300Telegram& telegram) {
    Log("ProceedTelegram");
    if (telegram.Command == CmdPing) {
        linkQuality_ = linkCountdown_;
        linkCountdown_ = 10;
        const auto clients = DecodePingClients(telegram);
        labelStatusEx_->setText(clients ? QStringLiteral("Connected TCP-Clients: ") + QString::number(*clients) +
                                              QStringLiteral("/3")
                                        : QStringLiteral("Connected TCP-Clients: ALTE FIRMWARE"));
    }
    // Live data (code 18) belongs to the live view, which comes with later work.
}

// ---------------------------------------------------------------- parameter dialogs

void TForm2::Set_Objekt_Vars(int index) {
    if (logic_->Simulating()) return;
    if (index < 0 || index >= logic_->Components.Count()) return;
    const TLogicComponentDefineList before = logic_->Components.Items(index).Variables;
    bool ok = false;
    if (ParameterDialog) {
        ok = ParameterDialog(*logic_, index);
    } else {
        TFrmUserdefineSetter dialog(this);
        dialog.StartParamSet(logic_->Components, index);
        ok = dialog.exec() == QDialog::Accepted;
        if (ok) dialog.EndParamSet(logic_->Components, index);
    }
    if (ok && index < logic_->Components.Count() && !(logic_->Components.Items(index).Variables == before))
        MarkModified();
    Refresh();
}

// ---------------------------------------------------------------- drawing-area gestures

void TForm2::HorizontalScroll() {
    ScrollOffset.x = hbar_->Position * 20;
    renderer_->Resize(WorldSize, ScrollOffset);
    Refresh();
}

void TForm2::VerticalScroll() {
    ScrollOffset.y = vbar_->Position * 20;
    renderer_->Resize(WorldSize, ScrollOffset);
    Refresh();
}

bool TForm2::AreaWheel(QPoint areaPos, int delta) {
    if (!area_->rect().contains(areaPos) || delta == 0) return false;
    vbar_->SetPosition(vbar_->Position + (delta < 0 ? 1 : -1));
    VerticalScroll();
    return true;
}

void TForm2::AreaMouseDown(Qt::MouseButton button) {
    if (ignoreNextMouseDown_) {
        ignoreNextMouseDown_ = false;
        return;
    }
    TLogic& d = *logic_;
    if (button == Qt::LeftButton) {
        if (d.Simulating()) {
            const std::string name = d.objekt_an_position(lastPos_.x, lastPos_.y);
            if (name.size() > 2 && name.compare(0, 2, "IN") == 0) {
                const std::string digits = name.substr(2, 10);
                if (name.size() - 2 <= 10 && !digits.empty() &&
                    digits.find_first_not_of("0123456789") == std::string::npos) {
                    const long long n = std::stoll(digits);
                    if (n <= 0x7FFFFFFF) simulation_->Toogle_input(static_cast<int>(n));
                }
            }
            return;
        }
        const TVerknuepfer pin = d.verknuepfer_an_position(lastPos_.x, lastPos_.y);
        if (pin.Name != "--" && pin.Pin != 255) {
            d.DragStart = pin;
            d.Dragging = true;
            area_->setCursor(Qt::CrossCursor);
        } else if (d.get_objekt_id(d.objekt_an_position(lastPos_.x, lastPos_.y), false) < 0) {
            const TVerbindung segment = d.get_verbindung();
            if (segment.Wire >= 0 && segment.Kind != 0) {
                d.Select_Verbinder(segment);
                nodeDrag_ = true;
            } else {
                d.Select_Objekt("");
            }
        } else {
            const std::string name = d.objekt_an_position(lastPos_.x, lastPos_.y);
            objektDrag_ = true;
            dragStart_ = lastPos_;
            objektIndex_ = d.get_objekt_id(name, false);
            d.Select_Objekt(name);
        }
        Refresh();
    } else if (button == Qt::RightButton) {
        if (d.Simulating() || objektDrag_) return;
        const TVerbindung segment = d.get_verbindung();
        if (segment.Wire >= 0 && segment.Kind != 0) {
            ShowPopup(*popupWire_);
            return;
        }
        const TVerknuepfer pin = d.verknuepfer_an_position(lastPos_.x, lastPos_.y);
        if (pin.Name != "--" && pin.Pin != 255) {
            const int before = d.Wires.Count();
            d.delete_verknuepfer(pin);
            if (d.Wires.Count() != before) MarkModified();
            Refresh();
            return;
        }
        const std::string name = d.objekt_an_position(lastPos_.x, lastPos_.y);
        if (name != "--" && !name.empty()) {
            d.Select_Objekt(name);
            Refresh();
            ShowPopup(*popupObjekt_);
        }
    }
}

void TForm2::ShowPopup(QMenu& menu) {
    QAction* chosen = PopupExec ? PopupExec(menu, QCursor::pos()) : menu.exec(QCursor::pos());
    // The pop-up's own connection runs the action when the menu is shown for real;
    // a replaced pop-up hands the choice back and it is triggered here.
    if (PopupExec && chosen) chosen->trigger();
}

void TForm2::AreaMouseMove(int x, int y) {
    TLogic& d = *logic_;
    if (d.AutoScroll) {
        bool scrolled = false;
        if (x < 20) hbar_->SetPosition(hbar_->Position - 1), scrolled = true;
        if (x > area_->width() - 20) hbar_->SetPosition(hbar_->Position + 1), scrolled = true;
        if (y < 20) vbar_->SetPosition(vbar_->Position - 1), scrolled = true;
        if (y > area_->height() - 20) vbar_->SetPosition(vbar_->Position + 1), scrolled = true;
        if (scrolled) {
            ScrollOffset = {hbar_->Position * 20, vbar_->Position * 20};
            renderer_->Resize(WorldSize, ScrollOffset);
        }
    }
    lastPos_ = {x + ScrollOffset.x, y + ScrollOffset.y};
    d.MousePos = lastPos_;
    if (d.Simulating()) return;
    if (objektDrag_ && objektIndex_ >= 0) {
        const int dx = lastPos_.x - dragStart_.x;
        if (std::abs(dx) > 10) {
            const int steps = roundHalfEven(dx / 10.0);
            d.verschieben(objektIndex_, steps, 0);
            dragStart_.x += steps * 10;
            MarkModified();
        }
        const int dy = lastPos_.y - dragStart_.y;
        if (std::abs(dy) > 10) {
            const int steps = roundHalfEven(dy / 10.0);
            d.verschieben(objektIndex_, 0, steps);
            dragStart_.y += steps * 10;
            MarkModified();
        }
    } else if (!d.Dragging) {
        if (!nodeDrag_) {
            const TVerbindung segment = d.get_verbindung();
            const Qt::CursorShape shape = segment.Wire >= 0 && segment.Kind == 1   ? Qt::SizeHorCursor
                                          : segment.Wire >= 0 && segment.Kind == 2 ? Qt::SizeVerCursor
                                                                                   : Qt::ArrowCursor;
            if (area_->cursor().shape() != shape) area_->setCursor(shape);
        } else {
            d.move_SEL_verbindungsknoten_to(lastPos_);
            MarkModified();
        }
    }
    // A wire being drawn follows the pointer; everything else redraws on change.
    if (d.Dragging || objektDrag_ || nodeDrag_) Refresh();
}

void TForm2::AreaMouseUp(Qt::MouseButton button, int x, int y) {
    TLogic& d = *logic_;
    if (d.Simulating()) return;
    if (button == Qt::LeftButton && !objektDrag_) {
        const TVerknuepfer target = d.verknuepfer_an_position(x + ScrollOffset.x, y + ScrollOffset.y);
        if (target.Name != "--" && target.Pin != 255 && d.Dragging) {
            const TVerknuepfer& from = d.DragStart;
            std::int32_t added = -1;
            if (from.IsInput == 0 && target.IsInput == 1)
                added = d.add_verbinder(from.Name, from.Pin, target.Pin, target.Name);
            else if (from.IsInput == 1 && target.IsInput == 0)
                added = d.add_verbinder(target.Name, target.Pin, from.Pin, from.Name);
            if (added >= 0) MarkModified();
        }
        // A wire released anywhere else ends as well.
        if (d.Dragging) {
            d.Dragging = false;
            area_->setCursor(Qt::ArrowCursor);
        }
    }
    objektDrag_ = false;
    nodeDrag_ = false;
    Refresh();
}

void TForm2::AreaDoubleClick() {
    TLogic& d = *logic_;
    const int index = d.get_objekt_id(d.get_Sel_Objekt(), false);
    if (d.get_Sel_Objekt().empty() || index < 0) return;
    AreaMouseUp(Qt::LeftButton, lastPos_.x - ScrollOffset.x, lastPos_.y - ScrollOffset.y);
    Set_Objekt_Vars(index);
    ignoreNextMouseDown_ = true;
}

bool TForm2::DropAccepted(int x, int y) const {
    const int gx = x / 10;
    return gx > 5 && gx < WorldSize.x / 10 - 5 && y / 10 < area_->height() / 10;
}

void TForm2::DropAt(const std::string& typeName, int x, int y) {
    if (logic_->Add_objekt(typeName, "", x / 10 + ScrollOffset.x / 10, y / 10 + ScrollOffset.y / 10) >= 0)
        MarkModified();
    draggedType_.clear();
    Refresh();
}

void TForm2::PaletteDoubleClick(const std::string& typeName) {
    if (logic_->Add_objekt(typeName, "", 0, 0) >= 0) MarkModified();
    Refresh();
}

void TForm2::SplitWire() {
    Log("Verbinder teilen");
    const TVerbindung segment = logic_->get_verbindung();
    if (segment.Wire < 0 || segment.Kind == 0) return;
    logic_->SplitSegment(segment);
    MarkModified();
    Refresh();
}

void TForm2::DeleteKey() {
    Log("DeleteObjekt");
    TLogic& d = *logic_;
    if (d.get_Sel_Objekt().empty()) {
        if (d.SelectedWire >= 0 && d.SelectedWire < d.Wires.Count()) {
            d.delete_Sel_Verbindung();
            d.SelectedWire = -1;
            MarkModified();
        }
    } else if (messages_.show({"Löschen", "Objekt Löschen?", MsgIcon::Question, MbYes | MbNo, MbNo}) == MbYes) {
        d.delete_(d.get_Sel_Objekt());
        MarkModified();
    }
    Refresh();
}

bool TForm2::KeyDown(int key, Qt::KeyboardModifiers) {
    bool consumed = false;
    switch (key) {
    case Qt::Key_Left: hbar_->SetPosition(hbar_->Position - 1); consumed = true; break;
    case Qt::Key_Right: hbar_->SetPosition(hbar_->Position + 1); consumed = true; break;
    case Qt::Key_Up: vbar_->SetPosition(vbar_->Position - 1); consumed = true; break;
    case Qt::Key_Down: vbar_->SetPosition(vbar_->Position + 1); consumed = true; break;
    case Qt::Key_Delete: DeleteKey(); consumed = true; break;
    default: break;
    }
    const TPoint offset{hbar_->Position * 20, vbar_->Position * 20};
    if (!(offset == ScrollOffset)) {
        ScrollOffset = offset;
        renderer_->Resize(WorldSize, ScrollOffset);
        Refresh();
    }
    return consumed;
}

bool TForm2::KeyUp(int key, Qt::KeyboardModifiers modifiers) {
    if (!(modifiers & Qt::ControlModifier) || KeyLetter == '\0') return false;
    const int letter = QChar(QLatin1Char(KeyLetter)).toUpper().unicode();
    if (key != letter) return false;
    Set_Objekt_Vars(logic_->get_objekt_id(logic_->get_Sel_Objekt(), false));
    logic_->Select_Objekt("");
    Refresh();
    return true;
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    bool consumed = false;
    Guarded(this, [&] {
        consumed = event->type() == QEvent::KeyPress ? KeyDown(key->key(), key->modifiers())
                                                     : (!key->isAutoRepeat() && KeyUp(key->key(), key->modifiers()));
    });
    return consumed;
}

// ---------------------------------------------------------------- closing

bool TForm2::CloseQuery() {
    Log("FormCloseQuery");
    if (!modified_) return true;
    const MsgButton answer = messages_.show({"Speichern", "Sollen die Änderungen gespeichert werden?",
                                             MsgIcon::Question, MbYes | MbNo | MbCancel, MbYes});
    if (answer == MbCancel) return false;
    if (answer == MbNo) return true;
    // Yes: the window closes only when the work was written.
    return SaveProject();
}

void TForm2::closeEvent(QCloseEvent* event) {
    bool mayClose = true;
    Guarded(this, [&] { mayClose = CloseQuery(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    closing_ = true;
    if (simulation_) simulation_->Simulation_abbrechen();
    mails_->DropPending();
    playPort_->Stop();
    timer1_->stop();
    timerNetio_->stop();
    tmrLiveMode_->stop();
    if (lcd_) lcd_->close();
    event->accept();
}

} // namespace v7300
