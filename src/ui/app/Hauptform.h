#pragma once
// The main window: wires the parts together and lays them out. It owns the
// document and hands it to the parts that work on it:
// - editor/EditorView over the Qt-free DiagramEditor: the drawing area, palette,
//   scroll bars, pop-up menus, clipboard, zoom and undo;
// - the Qt-free TFileController: Neu, Öffnen, Speichern, the save question;
// - sim/SimulationControl: the simulation with its windows;
// - device/LinkControl: the device link, the TelegramRouter and the link watch;
// - app/MainToolbar and app/StatusPanel: what the window shows around the diagram;
// - app/MainMenu.cpp: the menus; app/FileCommands.cpp: export, print, transfer.
// Windows that come later open from here as modal windows; see docs/ARCHITECTURE.md.
#include "core/Clock.h"
#include "core/MessagePort.h"
#include "device/DeviceSearch.h"
#include "device/ProgramSizeIndicator.h"
#include "device/UnitV7300EEPROMData.h"
#include "model/DiagramEditor.h"
#include "model/Logic.h"
#include "simulation/SimulationClock.h"
#include "ui/app/QtClock.h"
#include "ui/app/QtMessagePort.h"
#include "ui/app/ToolsMenu.h"
#include "ui/sim/SimulationDialogs.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QScrollArea;
class QTimer;
class QToolButton;

namespace v7300 {

class Canvas;
class TAboutBox;
class TComponentPalette;
class TDrawingArea;
class TEditorView;
class TFileController;
class TFileDialogs;
class TFrmDrucken;
class TFrmLCD;
class TFrmStart;
class TFrmZeitverlauf;
class TLinkControl;
class TLiveViewHost;
class TLogicRenderer;
class TLogicSimulation;
class TMainToolbar;
class TQtSimInputPort;
class TSettingsFile;
class TSimulationControl;
class TStatusPanel;
class TV7300NETIO;
class TV7300Scrollbar;
class TWindowFileDialogs;
struct TV7300Telegram;

// What the main window is given: where the library and the settings live, the
// ports, the command line and what tests switch off.
struct TForm2Setup {
    std::string ProgramPath;         // the executable (file-type registration)
    std::string LibraryFolder;       // "objekts" beside the program
    std::string SettingsFile;        // full path of config.ini
    MessagePort* Messages = nullptr; // none: message boxes
    Clock* ClockPort = nullptr;      // none: the machine's clock
    TFileDialogs* Dialogs = nullptr; // none: the Qt file dialogs
    QStringList Arguments;           // the command line without the program name
    int ProgressPauseMs = 333;       // the start window's pause per step
    bool RegisterFileTypes = true;
    std::string DataHome; // where the file types are registered ("" = the user's)
    bool LinkEnabled = true;
    std::uint16_t FirstPort = 4000, LastPort = 4050, DevicePort = 4000;
    std::string DeviceAddress = "192.168.0.91"; // the start address (V7300_DEVICE replaces it)
    bool SimulationWorker = true;               // false: tests run the cycles themselves
    bool Timers = true;                         // false: tests call the timer work themselves
    TToolsPorts ToolsPorts;                     // the "Tools" entries' desktop ports; unset: the real ones
    std::string SimulationZone;                 // the simulated time's zone ("": the machine's)
};

class TForm2 : public QMainWindow {
    Q_OBJECT
  public:
    explicit TForm2(TForm2Setup setup, QWidget* parent = nullptr);
    ~TForm2() override;

    // ---- the document and the parts that work on it
    TLogic& Logic() { return *logic_; }
    DiagramEditor& Editor() { return *editor_; }
    TEditorView& View() { return *view_; }
    TFileController& Files() { return *files_; }
    TSimulationControl& SimulationControl() { return *sim_; }
    TLinkControl& LinkControl() { return *link_; }
    TMainToolbar& Toolbar() { return *toolbar_; }
    TStatusPanel& StatusBar() { return *statusBar_; }
    TLogicRenderer* Renderer() { return renderer_.get(); }
    TSettingsFile* Settings() { return settings_.get(); }
    TToolsMenu* Tools() { return tools_.get(); }
    // The file name as the status bar shows it: "* " in front while modified.
    std::string FileName() const;
    bool Modified() const;
    // Records what was changed outside the gestures as one undo step.
    void MarkModified();

    // ---- commands
    void NewProject();
    void OpenProject();
    // Returns true when the document was written.
    bool SaveProject();
    bool SaveProjectAs();
    void ExportPicture(int kind); // 0 BMP, 1 JPEG, 2 PNG
    void PrintDiagram();
    void StartSimulation(bool liveView = false);
    // "Datei" ▸ "LiveView aufzeichnen…": records the running live view into a file.
    void RecordLiveView();
    void StopSimulation();
    // The controls of the local simulation (app/SimulationMenu.cpp): F6, F7, the
    // speed, "Gehe zu Zeitpunkt…", forcing from the component's pop-up.
    void TogglePause();
    void StepCycle();
    void SetSimulationSpeed(TSimulationSpeed speed);
    void GoToTime();
    void ForceValue(const std::string& component);
    // Releases the component's forced entries ("": all of them).
    void ReleaseForced(const std::string& component);
    // "Zeitverlauf": the timing plot's window (made on first use), and an entry added to it.
    void ShowTimingPlot();
    void PlotEntry(const std::string& store, const std::string& label);
    TFrmZeitverlauf* TimingPlotWindow() { return plotWindow_; }
    void TransferProgram(); // F5
    void AddText();         // the "T" button
    void ProcessCommandLine(const QStringList& arguments);
    // The close query: true when the window may close.
    bool CloseQuery();
    // Opens the component's parameter dialog; a change is one undo step.
    void Set_Objekt_Vars(int index);
    // "Suchen…" (asks for the text) and F3; the status bar tells what was not found.
    void Find();
    void FindNext();

    // ---- timers (called by the timers, and by tests)
    void Layout();          // resize handler and Timer1
    void DeviceTimerTick(); // TimerV7300NETIO
    void LinkWatchTick();   // the link-status part of the device tick
    void IndicatorTick();   // the program-size indicator part of the device tick
    void OnTelegram(const TV7300Telegram& telegram);
    // The transfer and bus windows pause the device timer while they are open.
    void SetDeviceTimerPaused(bool paused);

    // ---- widgets, for the tests and the application
    TLogicSimulation* Simulation();
    TFrmLCD* Lcd();
    TQtSimInputPort* SliderWindows();
    TV7300NETIO* Link();
    TLiveViewHost* LiveView() { return live_; }
    TDrawingArea* Area() { return area_; }
    TComponentPalette* Palette() { return palette_; }
    TV7300Scrollbar* HBar() { return hbar_; }
    TV7300Scrollbar* VBar() { return vbar_; }
    QLabel* PanelFlashSize();
    QLabel* HardwareStatus();
    QLabel* StatusEx();
    QToolButton* ButtonStartSimulation();
    QToolButton* ButtonStartLive();
    QToolButton* ButtonStop();
    QAction* Action(const QString& caption) const;
    const std::string& IndicatorError() const { return indicator_.ErrorText(); }
    bool FirstShowDone() const { return !firstShow_; }
    int StartProgressWidth() const { return lastProgressWidth_; }
    int LinkCountdown() const;

    // Replaceable for tests: the parameter dialog (true on OK), the pop-up menus
    // (the chosen action, null when dismissed) and the question of "Suchen…"
    // (the text, nothing when cancelled).
    std::function<bool(TLogic&, int)> ParameterDialog;
    std::function<QAction*(QMenu&, QPoint)> PopupExec;
    std::function<std::optional<std::string>()> FindPrompt;
    // The questions of "Wert erzwingen…" and "Gehe zu Zeitpunkt…" (nothing when cancelled).
    std::function<std::optional<TForceRequest>(const std::string& component, std::vector<TForceChoice>)>
        ForcePrompt;
    std::function<std::optional<DateTime>(const std::string& current)> GoToPrompt;
    // The modal device windows: the transfer window (returns its address field
    // at closing) and the bus configuration; unset: the windows themselves.
    std::function<std::string(TV7300_EEPROM_Data image, std::int32_t checksum, const std::string& address)>
        TransferWindow;
    std::function<void()> BusWindow;
    // Called instead of ending the program when the link cannot be created.
    std::function<void()> OnFatal;
    // Called once, when the drawing area has shown the diagram for the first time after start-up.
    std::function<void()> OnFirstDiagram;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Create();
    void CreateDrawingArea();
    void CreatePalette();
    void CreateParts();
    void ReadViewSettings();
    void OpenLink();
    void FirstShow();
    void BuildMenu();
    void BuildEditMenu(QMenu* menu);
    void BuildViewMenu(QMenu* menu);
    void BuildDeviceMenu(QMenu* menu);
    void UpdateEditMenu();
    void BuildSimulationMenu(QMenu* menu);
    void ShowSimulationPopup(const std::string& component);
    void UpdateSimulationStatus();
    void UpdateStatus();
    void ShowLinkTexts();
    void CreateLiveView();
    void ShowLiveTexts(bool redraw);
    void UpdateRecordEntry();
    void Progress(int percent);
    void ApplyGeometry();
    void WriteGeometry();
    void Refresh();
    void ShowParameterDialog(int index);
    void Log(const std::string& text);
    // A settings write; its first failure in a program run goes to the error report window.
    void WriteSettings(const std::function<void()>& write);

    TForm2Setup setup_;
    TQtMessagePort ownMessages_;
    TQtClock ownClock_;
    MessagePort& messages_;
    Clock& clock_;
    std::unique_ptr<TFileDialogs> ownDialogs_;
    TFileDialogs* dialogs_;
    std::unique_ptr<TWindowFileDialogs> fileDialogs_;

    std::unique_ptr<TLogic> logic_;
    std::unique_ptr<DiagramEditor> editor_;
    std::unique_ptr<Canvas> viewCanvas_;
    std::unique_ptr<TLogicRenderer> renderer_;
    std::unique_ptr<TFileController> files_;
    std::unique_ptr<TSettingsFile> settings_;
    std::unique_ptr<TToolsMenu> tools_;
    TProgramSizeIndicator indicator_;
    TEditorView* view_ = nullptr;
    TSimulationControl* sim_ = nullptr;
    TLinkControl* link_ = nullptr;
    TDeviceSearch deviceSearch_; // the device list of "Search Devices", kept for the program's lifetime

    bool firstShow_ = true;
    int idleCounter_ = 0;
    std::int32_t expectedCrc_ = 0;
    int lastProgressWidth_ = 0;
    struct Geometry {
        bool maximized;
        int top, left, width, height;
        bool operator==(const Geometry&) const = default;
    };
    std::optional<Geometry> writtenGeometry_;
    bool settingsFailureShown_ = false;
    QSize laidOut_;

    // widgets
    QWidget* client_ = nullptr;
    TMainToolbar* toolbar_ = nullptr;
    TStatusPanel* statusBar_ = nullptr;
    QScrollArea* paletteScroll_ = nullptr;
    TComponentPalette* palette_ = nullptr;
    TDrawingArea* area_ = nullptr;
    TV7300Scrollbar* hbar_ = nullptr;
    TV7300Scrollbar* vbar_ = nullptr;
    QAction* actInfo_ = nullptr;
    QAction* actRaster_ = nullptr;
    QAction* actMoveWindow_ = nullptr;
    struct EditActions {
        QAction *undo = nullptr, *redo = nullptr, *cut = nullptr, *copy = nullptr, *paste = nullptr,
                *selectAll = nullptr, *find = nullptr;
    } edit_;
    struct SimulationActions {
        QAction *pause = nullptr, *step = nullptr, *goTo = nullptr, *releaseAll = nullptr;
        QMenu* speed = nullptr;
    } simActs_;
    QTimer* timer1_ = nullptr;
    QTimer* timerNetio_ = nullptr;
    TLiveViewHost* live_ = nullptr;
    QAction* actRecordLive_ = nullptr;
    TFrmStart* start_ = nullptr;
    TAboutBox* about_ = nullptr;
    TFrmDrucken* print_ = nullptr;
    TFrmZeitverlauf* plotWindow_ = nullptr;
};

} // namespace v7300
