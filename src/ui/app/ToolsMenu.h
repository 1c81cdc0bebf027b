#pragma once
// The entries of the main window's "Tools" menu. The logic is free of Qt: the
// desktop's handler for web addresses and the start of a program are ports, so
// that tests fake them; QtToolsPorts supplies the real ones.
#include "core/MessagePort.h"

#include <functional>
#include <string>

namespace v7300 {

class TLogic;

inline constexpr const char* kDefaultDeviceAddress = "192.168.0.91";
// config.ini, section "config": the download page of the designer tool (empty by default).
inline constexpr const char* kDesignerUrlKey = "designerUrl";
// Beside the program.
inline constexpr const char* kControlProgramPath = "tools/net-io-control-PC/V7300_NET_IO_Control_PC";

struct TToolsPorts {
    // Opens a web address with the desktop's handler; false when that failed.
    std::function<bool(const std::string& url)> OpenUrl;
    // Starts a program without arguments in the folder; false when it did not start.
    std::function<bool(const std::string& program, const std::string& workingFolder)> StartProgram;
    // The document was changed by an entry (marks it modified; one undoable step).
    std::function<void()> DocumentChanged;
    // "Hardware Anschlussbeschreibung": the print-out of the bus components; none yet.
    std::function<void()> PrintBusListing;
};

// The desktop's handler and a detached process.
TToolsPorts QtToolsPorts();

class TToolsMenu {
public:
    // settingsFile: the config.ini read for the designer's address.
    TToolsMenu(TLogic& logic, MessagePort& messages, std::string settingsFile, std::string programFolder,
               TToolsPorts ports);

    void OpenWebinterface();        // "Webinterface öffnen"
    void StartControlProgram();     // "V7300-NET-IO Control (PC Version)"
    void OpenDesigner();            // "V7300-NET-IO-Designer"
    void PrintHardwareDescription(); // "Hardware Anschlussbeschreibung"

    std::string ControlProgram() const { return ProgramFolder_ + "/" + kControlProgramPath; }
    TToolsPorts& Ports() { return Ports_; }

private:
    // An empty device address becomes the default one, through the document.
    void EnsureDeviceAddress();
    void Open(const std::string& url);

    TLogic& Logic_;
    MessagePort& Messages_;
    std::string SettingsFile_;
    std::string ProgramFolder_;
    TToolsPorts Ports_;
};

} // namespace v7300
