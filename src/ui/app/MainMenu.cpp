// The main window's menus: "Datei", "Bearbeiten", "Ansicht", "V7300-NET-IO",
// "Tools", "Hilfe", and the shortcuts without an entry (Drucken, F3, zoom).
#include "ui/app/Hauptform.h"

#include "core/FileIO.h"
#include "device/UnitV7300NETIO.h"
#include "project/Settings.h"
#include "ui/app/ActionLog.h"
#include "ui/app/MenuEntries.h"
#include "ui/app/MenuStyle.h"
#include "ui/device/BusListingPrint.h"
#include "ui/device/LinkControl.h"
#include "ui/device/UnitRS485Config.h"
#include "ui/device/Unit_Atmel_Beschreiben.h"
#include "ui/dialogs/About.h"
#include "ui/dialogs/UnitError.h"
#include "ui/params/UnitShownItems.h"
#include "ui/editor/EditorView.h"

#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>

namespace v7300 {

void TForm2::BuildMenu() {
    QMenuBar* bar = menuBar();
    bar->setNativeMenuBar(false);
    bar->setAutoFillBackground(true);
    QMenu* datei = bar->addMenu(QStringLiteral("Datei"));
    addEntry(this, datei, QStringLiteral("Neu"), QKeySequence(Qt::CTRL | Qt::Key_N),
             [this](bool) { NewProject(); });
    addEntry(this, datei, QStringLiteral("Öffnen"), QKeySequence(Qt::CTRL | Qt::Key_O),
             [this](bool) { OpenProject(); });
    addEntry(this, datei, QStringLiteral("Speichern"), QKeySequence(Qt::CTRL | Qt::Key_S),
             [this](bool) { SaveProject(); });
    addEntry(this, datei, QStringLiteral("Speichern Unter"), QKeySequence(),
             [this](bool) { SaveProjectAs(); });
    datei->addSeparator();
    // "Drucken" is not shown in the menu; its shortcut works.
    addHidden(this, QStringLiteral("Drucken"), {QKeySequence(Qt::CTRL | Qt::Key_P)},
              [this] { PrintDiagram(); });
    QMenu* exportMenu = datei->addMenu(QStringLiteral("Exportieren"));
    addEntry(this, exportMenu, QStringLiteral("Bilddatei (*.bmp)"), QKeySequence(),
             [this](bool) { ExportPicture(0); });
    addEntry(this, exportMenu, QStringLiteral("JPEG-Bilddatei (*.jpg)"), QKeySequence(),
             [this](bool) { ExportPicture(1); });
    addEntry(this, exportMenu, QStringLiteral("PNG-Bilddatei (*.png)"), QKeySequence(),
             [this](bool) { ExportPicture(2); });
    exportMenu->addAction(QStringLiteral("Hochladen auf V7300"))->setEnabled(false);
    actRecordLive_ = addEntry(this, datei, QStringLiteral("LiveView aufzeichnen…"), QKeySequence(),
                              [this](bool) { RecordLiveView(); });
    actRecordLive_->setEnabled(false);
    datei->addSeparator();
    addEntry(this, datei, QStringLiteral("Beenden"), QKeySequence(Qt::ALT | Qt::Key_F4),
             [this](bool) { close(); });

    BuildEditMenu(bar->addMenu(QStringLiteral("Bearbeiten")));
    BuildViewMenu(bar->addMenu(QStringLiteral("Ansicht")));
    BuildDeviceMenu(bar->addMenu(QStringLiteral("V7300-NET-IO")));

    QMenu* tools = bar->addMenu(QStringLiteral("Tools"));
    TToolsPorts toolsPorts = QtToolsPorts();
    if (setup_.ToolsPorts.OpenUrl) toolsPorts.OpenUrl = setup_.ToolsPorts.OpenUrl;
    if (setup_.ToolsPorts.StartProgram) toolsPorts.StartProgram = setup_.ToolsPorts.StartProgram;
    // The address an entry sets is one undo step and marks the document.
    toolsPorts.DocumentChanged = [this] { MarkModified(); };
    toolsPorts.PrintBusListing = setup_.ToolsPorts.PrintBusListing;
    if (!toolsPorts.PrintBusListing)
        toolsPorts.PrintBusListing = [this] { PrintBusListingDialog(this, *logic_, messages_, *dialogs_); };
    tools_ = std::make_unique<TToolsMenu>(*logic_, messages_, setup_.SettingsFile,
                                          directoryOf(setup_.ProgramPath), std::move(toolsPorts));
    addEntry(this, tools, QStringLiteral("Webinterface öffnen"), QKeySequence(),
             [this](bool) { tools_->OpenWebinterface(); });
    addEntry(this, tools, QStringLiteral("V7300-NET-IO Control (PC Version)"), QKeySequence(),
             [this](bool) { tools_->StartControlProgram(); });
    addEntry(this, tools, QStringLiteral("V7300-NET-IO-Designer"), QKeySequence(),
             [this](bool) { tools_->OpenDesigner(); });
    addEntry(this, tools, QStringLiteral("Hardware Anschlussbeschreibung"), QKeySequence(),
             [this](bool) { tools_->PrintHardwareDescription(); });

    QMenu* hilfe = bar->addMenu(QStringLiteral("Hilfe"));
    // The simulation's menu stands last, so that the others keep their places.
    QMenu* simulation = bar->addMenu(QStringLiteral("Simulation"));
    addEntry(this, hilfe, QStringLiteral("Programm Informationen"), QKeySequence(Qt::Key_F1), [this](bool) {
        if (!about_) about_ = new TAboutBox(this);
        about_->exec();
    });
    BuildSimulationMenu(simulation);
}

void TForm2::BuildEditMenu(QMenu* menu) {
    edit_.undo = addEntry(this, menu, QStringLiteral("Rückgängig"), QKeySequence(Qt::CTRL | Qt::Key_Z),
                          [this](bool) { editor_->Undo(); });
    edit_.redo = addEntry(this, menu, QStringLiteral("Wiederholen"), QKeySequence(Qt::CTRL | Qt::Key_Y),
                          [this](bool) { editor_->Redo(); });
    edit_.redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    menu->addSeparator();
    edit_.cut = addEntry(this, menu, QStringLiteral("Ausschneiden"), QKeySequence(Qt::CTRL | Qt::Key_X),
                         [this](bool) { view_->Cut(); });
    edit_.copy = addEntry(this, menu, QStringLiteral("Kopieren"), QKeySequence(Qt::CTRL | Qt::Key_C),
                          [this](bool) { view_->Copy(); });
    edit_.paste = addEntry(this, menu, QStringLiteral("Einfügen"), QKeySequence(Qt::CTRL | Qt::Key_V),
                           [this](bool) { view_->Paste(); });
    menu->addSeparator();
    edit_.selectAll = addEntry(this, menu, QStringLiteral("Alles auswählen"),
                               QKeySequence(Qt::CTRL | Qt::Key_A), [this](bool) { editor_->SelectAll(); });
    edit_.find = addEntry(this, menu, QStringLiteral("Suchen…"), QKeySequence(Qt::CTRL | Qt::Key_F),
                          [this](bool) { Find(); });
    addHidden(this, QStringLiteral("Weitersuchen"), {QKeySequence(Qt::Key_F3)}, [this] { FindNext(); });
    // The clipboard can change in another program: "Einfügen" is checked when the menu opens.
    connect(menu, &QMenu::aboutToShow, this, [this] { UpdateEditMenu(); });
    UpdateEditMenu();

    // The zoom has no entry; the status bar shows it.
    addHidden(this, QStringLiteral("Vergrößern"),
              {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
              [this] { editor_->ZoomIn(); });
    addHidden(this, QStringLiteral("Verkleinern"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)},
              [this] { editor_->ZoomOut(); });
    addHidden(this, QStringLiteral("Originalgröße"), {QKeySequence(Qt::CTRL | Qt::Key_0)},
              [this] { editor_->ZoomReset(); });
}

void TForm2::UpdateEditMenu() {
    if (!edit_.undo || !view_) return;
    // Every entry that cannot act is disabled, and all of them while the simulation runs.
    const DiagramEditor& e = *editor_;
    edit_.undo->setEnabled(e.CanUndo());
    edit_.redo->setEnabled(e.CanRedo());
    edit_.cut->setEnabled(e.CanCopy());
    edit_.copy->setEnabled(e.CanCopy());
    edit_.paste->setEnabled(e.CanPaste(view_->ClipboardHasFragment()));
    edit_.selectAll->setEnabled(e.CanSelectAll());
    edit_.find->setEnabled(e.CanFind());
}

void TForm2::BuildViewMenu(QMenu* ansicht) {
    actInfo_ = addEntry(
        this, ansicht, QStringLiteral("Beschriftung"), QKeySequence(Qt::CTRL | Qt::Key_I), [this](bool on) {
            WriteSettings([&] { settings_->WriteBool(settings::kConfig, settings::kInfo, on); });
            logic_->show_info(on);
            Refresh();
        });
    actInfo_->setCheckable(true);
    actRaster_ = addEntry(this, ansicht, QStringLiteral("Raster"), QKeySequence(), [this](bool on) {
        WriteSettings([&] { settings_->WriteBool(settings::kConfig, settings::kRaster, on); });
        logic_->Raster = on;
        Refresh();
    });
    actRaster_->setCheckable(true);
    actMoveWindow_ =
        addEntry(this, ansicht, QStringLiteral("Fenster mit Maus bewegen"), QKeySequence(), [this](bool) {
            logic_->AutoScroll = !logic_->AutoScroll;
            WriteSettings(
                [&] { settings_->WriteBool(settings::kConfig, settings::kMoveWindow, logic_->AutoScroll); });
        });
    actMoveWindow_->setCheckable(true);
}

void TForm2::BuildDeviceMenu(QMenu* netio) {
    QMenu* konfig = netio->addMenu(QStringLiteral("Konfiguration"));
    addEntry(this, konfig, QStringLiteral("Verbindung"), QKeySequence(), [this](bool) {
        if (!Link()) return;
        const QString current = QString::fromStdString(Link()->GetAddress());
        bool ok = false;
        const QString text =
            QInputDialog::getText(this, QStringLiteral("V7300-NET-IO IP-Adresse"),
                                  QStringLiteral("IP-Adresse:"), QLineEdit::Normal, current, &ok);
        Link()->SetAddress((ok ? text : current).toStdString());
    });
    // The bus window pauses the device timer and takes the telegrams while it is open.
    addEntry(this, konfig, QStringLiteral("V²BUS"), QKeySequence(), [this](bool) {
        Log("V2Bus Konfiguration");
        SetDeviceTimerPaused(true);
        if (BusWindow)
            BusWindow();
        else
            ShowBusConfiguration(this, Link() ? Link()->GetAddress() : logic_->DeviceAddress, LinkPortOf(*link_),
                                 clock_, messages_);
        SetDeviceTimerPaused(false);
    });
    addEntry(this, konfig, QStringLiteral("Anzeige"), QKeySequence(), [this](bool) {
        if (logic_->Simulating()) return;
        // The whole session is one undo step, and only when it changed a page.
        if (params::EditShownItems(*logic_, this)) MarkModified();
    });
    QMenu* updaten = netio->addMenu(QStringLiteral("Updaten"));
    addEntry(this, updaten, QStringLiteral("Firmware (V7300 Programmer erforderlich)"), QKeySequence(),
             [this](bool) {
                 Log("Firmware Update");
                 ShowAtmelBeschreiben(this, messages_, clock_, directoryOf(setup_.ProgramPath));
             });
    addEntry(this, updaten, QStringLiteral("Logik"), QKeySequence(Qt::Key_F5),
             [this](bool) { TransferProgram(); });
}

QAction* TForm2::Action(const QString& caption) const {
    for (QAction* a : findChildren<QAction*>())
        if (MenuCaption(a->text()) == caption) return a;
    return nullptr;
}

} // namespace v7300
