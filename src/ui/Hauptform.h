#pragma once
// The main window: owns the diagram document, the device link and the settings;
// menus, toolbar, palette, drawing area with its scroll bars, status bar, the
// timers, the file commands, the simulation start and stop, the link watch and
// every gesture on the drawing area.
#include "core/Clock.h"
#include "core/MessagePort.h"
#include "model/Logic.h"
#include "ui/QtClock.h"
#include "ui/QtMessagePort.h"
#include "ui/app/ToolsMenu.h"

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
class QSocketNotifier;
class QTimer;
class QToolButton;

namespace v7300 {

class Canvas;
class TAboutBox;
class TComponentPalette;
class TDrawingArea;
class TFileDialogs;
class TFrmDrucken;
class TFrmLCD;
class TFrmStart;
class TLogicRenderer;
class TLogicSimulation;
class TQtExecPort;
class TQtLcdPort;
class TQtPlayPort;
class TQtSimInputPort;
class TSettingsFile;
class TV7300NETIO;
class TV7300Scrollbar;
class TMailQueue;
struct TV7300Telegram;

// What the main window is given: where the library and the settings live, the
// ports, the command line and what tests switch off.
struct TForm2Setup {
    std::string ProgramPath;    // the executable (file-type registration)
    std::string LibraryFolder;  // "objekts" beside the program
    std::string SettingsFile;   // full path of config.ini
    MessagePort* Messages = nullptr; // none: message boxes
    Clock* ClockPort = nullptr;      // none: the machine's clock
    TFileDialogs* Dialogs = nullptr; // none: the Qt file dialogs
    QStringList Arguments;           // the command line without the program name
    int ProgressPauseMs = 333;       // the start window's pause per step
    bool RegisterFileTypes = true;
    std::string DataHome;            // where the file types are registered ("" = the user's)
    bool LinkEnabled = true;
    std::uint16_t FirstPort = 4000, LastPort = 4050, DevicePort = 4000;
    std::string DeviceAddress = "192.168.0.91"; // the start address (V7300_DEVICE replaces it)
    bool SimulationWorker = true;    // false: tests run the cycles themselves
    bool Timers = true;              // false: tests call the timer work themselves
    TToolsPorts ToolsPorts;          // the "Tools" entries' desktop ports; unset: the real ones
};

class TForm2 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm2(TForm2Setup setup, QWidget* parent = nullptr);
    ~TForm2() override;

    // ---- the document and its state
    TLogic& Logic() { return *logic_; }
    const std::string& FileName() const { return fileName_; }
    bool Modified() const { return modified_; }
    void MarkModified();
    TPoint WorldSize{kDocumentSize, kDocumentSize};
    TPoint ScrollOffset{0, 0};
    char KeyLetter = 'E';

    // ---- commands
    void NewProject();
    void OpenProject();
    // Returns true when the document was written.
    bool SaveProject();
    bool SaveProjectAs();
    void ExportPicture(int kind); // 0 BMP, 1 JPEG, 2 PNG
    void PrintDiagram();
    void StartSimulation(bool liveView = false);
    void StopSimulation();
    void TransferProgram(); // F5
    void AddText();         // the "T" button
    void ProcessCommandLine(const QStringList& arguments);
    // The close query: true when the window may close.
    bool CloseQuery();
    // Opens the component's parameter dialog; marks the document modified when it changed something.
    void Set_Objekt_Vars(int index);

    // ---- timers (called by the timers, and by tests)
    void Layout();            // resize handler and Timer1
    void DeviceTimerTick();   // TimerV7300NETIO
    void LinkWatchTick();     // the link-status part of the device tick
    void IndicatorTick();     // the program-size indicator part of the device tick
    void OnTelegram(const TV7300Telegram& telegram);

    // ---- gestures on the drawing area (pixels of the drawing area)
    void AreaMouseDown(Qt::MouseButton button);
    void AreaMouseMove(int x, int y);
    void AreaMouseUp(Qt::MouseButton button, int x, int y);
    void AreaDoubleClick();
    bool AreaWheel(QPoint areaPos, int delta);
    bool DropAccepted(int x, int y) const;
    void DropAt(const std::string& typeName, int x, int y);
    void PaletteDoubleClick(const std::string& typeName);
    void SplitWire();
    void DeleteKey();
    void HorizontalScroll();
    void VerticalScroll();
    // Key handling of the window (every key reaches it first); true when consumed.
    bool KeyDown(int key, Qt::KeyboardModifiers modifiers);
    bool KeyUp(int key, Qt::KeyboardModifiers modifiers);

    // ---- parts, for the tests and the application
    TLogicSimulation* Simulation() { return simulation_.get(); }
    TLogicRenderer* Renderer() { return renderer_.get(); }
    TDrawingArea* Area() { return area_; }
    TComponentPalette* Palette() { return palette_; }
    TV7300Scrollbar* HBar() { return hbar_; }
    TV7300Scrollbar* VBar() { return vbar_; }
    TFrmLCD* Lcd() { return lcd_; }
    TQtSimInputPort* SliderWindows() { return simInput_.get(); }
    TV7300NETIO* Link() { return link_.get(); }
    TSettingsFile* Settings() { return settings_.get(); }
    TToolsMenu* Tools() { return tools_.get(); }
    QLabel* PanelFlashSize() { return panelFalshSize_; }
    QLabel* HardwareStatus() { return P_HardwareStatus_; }
    QLabel* StatusEx() { return labelStatusEx_; }
    QToolButton* ButtonStartSimulation() { return btnSim_; }
    QToolButton* ButtonStartLive() { return btnLive_; }
    QToolButton* ButtonStop() { return btnStop_; }
    QAction* Action(const QString& caption) const;
    const std::string& IndicatorError() const { return indicatorError_; }
    bool FirstShowDone() const { return !firstShow_; }
    int StartProgressWidth() const { return lastProgressWidth_; }
    int LinkCountdown() const { return linkCountdown_; }
    bool ObjectDragActive() const { return objektDrag_; }
    bool NodeDragActive() const { return nodeDrag_; }
    bool IgnoreNextMouseDown() const { return ignoreNextMouseDown_; }
    const std::string& DraggedTypeName() const { return draggedType_; }

    // Replaceable for tests: the parameter dialog (true on OK) and the pop-up menus
    // (the chosen action, null when dismissed).
    std::function<bool(TLogic&, int)> ParameterDialog;
    std::function<QAction*(QMenu&, QPoint)> PopupExec;
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
    void FirstShow();
    void BuildMenu();
    void BuildToolbar();
    void Progress(int percent);
    void SetFileName(const std::string& name);
    void UpdateStatus();
    void ApplyGeometry();
    void Refresh();
    bool AskSaveChanges(); // false: the user cancelled
    bool OpenFile(const std::string& path, bool commandLineRule);
    bool ReadProjectFile(const std::string& path, bool commandLineRule);
    bool SaveToCurrentName();
    void ShowPopup(QMenu& menu);
    void Log(const std::string& text);
    void SetLinkStatus(const QString& text);
    void PlaceToolbarPanels();
    // A settings write; its first failure in a program run goes to the error report window.
    template <typename F>
    void WriteSettings(F&& write);

    TForm2Setup setup_;
    TQtMessagePort ownMessages_;
    TQtClock ownClock_;
    MessagePort& messages_;
    Clock& clock_;
    std::unique_ptr<TFileDialogs> ownDialogs_;
    TFileDialogs* dialogs_;

    std::unique_ptr<TLogic> logic_;
    std::unique_ptr<Canvas> view_;
    std::unique_ptr<TLogicRenderer> renderer_;
    std::unique_ptr<TQtLcdPort> lcdPort_;
    std::unique_ptr<TQtExecPort> execPort_;
    std::unique_ptr<TQtPlayPort> playPort_;
    std::unique_ptr<TMailQueue> mails_;
    std::unique_ptr<TQtSimInputPort> simInput_;
    std::unique_ptr<TLogicSimulation> simulation_;
    std::unique_ptr<TSettingsFile> settings_;
    std::unique_ptr<TV7300NETIO> link_;
    std::unique_ptr<TToolsMenu> tools_;
    QSocketNotifier* linkNotifier_ = nullptr;
    QSocketNotifier* broadcastNotifier_ = nullptr;

    std::string fileName_ = "New File";
    bool modified_ = false;
    bool firstShow_ = true;
    bool closing_ = false;
    int idleCounter_ = 0;
    std::int32_t expectedCrc_ = 0;
    int linkCountdown_ = 0;
    int linkQuality_ = 0;
    std::string indicatorError_;
    int lastProgressWidth_ = 0;
    struct Geometry {
        bool maximized;
        int top, left, width, height;
        bool operator==(const Geometry&) const = default;
    };
    std::optional<Geometry> writtenGeometry_;
    bool settingsFailureShown_ = false;
    int indicatorLeft_ = 0;

    // interaction state
    TPoint lastPos_{0, 0};
    bool objektDrag_ = false;
    TPoint dragStart_{0, 0};
    int objektIndex_ = -1;
    bool nodeDrag_ = false;
    bool ignoreNextMouseDown_ = false;
    std::string draggedType_;

    // widgets
    QWidget* client_ = nullptr;
    QWidget* toolbar_ = nullptr;
    QWidget* statusBar_ = nullptr;
    QScrollArea* paletteScroll_ = nullptr;
    TComponentPalette* palette_ = nullptr;
    TDrawingArea* area_ = nullptr;
    TV7300Scrollbar* hbar_ = nullptr;
    TV7300Scrollbar* vbar_ = nullptr;
    QToolButton* btnSim_ = nullptr;
    QToolButton* btnLive_ = nullptr;
    QToolButton* btnStop_ = nullptr;
    QLabel* panelFalshSize_ = nullptr;
    QLabel* P_HardwareStatus_ = nullptr;
    QLabel* labelStatusEx_ = nullptr;
    QMenu* popupObjekt_ = nullptr;
    QMenu* popupWire_ = nullptr;
    QAction* actInfo_ = nullptr;
    QAction* actRaster_ = nullptr;
    QAction* actMoveWindow_ = nullptr;
    QAction* actLiveMenu_ = nullptr;
    QTimer* timer1_ = nullptr;
    QTimer* timerNetio_ = nullptr;
    QTimer* tmrLiveMode_ = nullptr;
    TFrmStart* start_ = nullptr;
    TFrmLCD* lcd_ = nullptr;
    TAboutBox* about_ = nullptr;
    TFrmDrucken* print_ = nullptr;
};

} // namespace v7300
