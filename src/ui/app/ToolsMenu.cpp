#include "ui/app/ToolsMenu.h"

#include "model/Logic.h"
#include "project/Settings.h"
#include "ui/app/ActionLog.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace v7300 {

TToolsPorts QtToolsPorts() {
    TToolsPorts ports;
    ports.OpenUrl = [](const std::string& url) {
        const QUrl u(QString::fromStdString(url), QUrl::StrictMode);
        return u.isValid() && QDesktopServices::openUrl(u);
    };
    ports.StartProgram = [](const std::string& program, const std::string& folder) {
        return QProcess::startDetached(QString::fromStdString(program), {}, QString::fromStdString(folder));
    };
    return ports;
}

TToolsMenu::TToolsMenu(TLogic& logic, MessagePort& messages, std::string settingsFile, std::string programFolder,
                       TToolsPorts ports)
    : Logic_(logic), Messages_(messages), SettingsFile_(std::move(settingsFile)), ProgramFolder_(std::move(programFolder)),
      Ports_(std::move(ports)) {}

void TToolsMenu::EnsureDeviceAddress() {
    if (!Logic_.DeviceAddress.empty()) return;
    if (Logic_.SetDeviceAddress(kDefaultDeviceAddress) && Ports_.DocumentChanged) Ports_.DocumentChanged();
}

void TToolsMenu::Open(const std::string& url) {
    if (Ports_.OpenUrl && !Ports_.OpenUrl(url))
        Messages_.showHint("Die Adresse " + url + " konnte nicht geöffnet werden.", MsgIcon::Warning);
}

void TToolsMenu::OpenWebinterface() {
    LogAction("Webinterface");
    EnsureDeviceAddress();
    Open("http://" + Logic_.DeviceAddress);
}

void TToolsMenu::StartControlProgram() {
    LogAction("Start V7300-NET-IO (PC Version)");
    EnsureDeviceAddress();
    const std::string program = ControlProgram();
    const QFileInfo info(QString::fromStdString(program));
    if (!info.isFile() || !info.isExecutable()) {
        Messages_.showHint("Das Programm V7300-NET-IO Control (PC Version) wurde nicht gefunden:\r\n" + program,
                           MsgIcon::Warning);
        return;
    }
    if (Ports_.StartProgram && !Ports_.StartProgram(program, info.absolutePath().toStdString()))
        Messages_.showHint("Das Programm V7300-NET-IO Control (PC Version) konnte nicht gestartet werden:\r\n" +
                               program,
                           MsgIcon::Warning);
}

void TToolsMenu::OpenDesigner() {
    const std::string url = TSettingsFile(SettingsFile_).ReadString(settings::kConfig, kDesignerUrlKey, "");
    if (url.empty()) {
        Messages_.showHint("Für den V7300-NET-IO-Designer ist keine Download-Adresse eingestellt.\r\n"
                           "Sie wird in der config.ini im Abschnitt [config] als designerUrl eingetragen.");
        return;
    }
    Open(url);
}

void TToolsMenu::PrintHardwareDescription() {
    if (Ports_.PrintBusListing) {
        Ports_.PrintBusListing();
        return;
    }
    Messages_.showHint("Die Hardware Anschlussbeschreibung ist in dieser Version noch nicht enthalten.");
}

} // namespace v7300
