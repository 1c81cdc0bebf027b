#pragma once
// The logic of the firmware flashing window "Atmel Beschreiben": the firmware
// list, the port list, "Firmware übertragen" running avrdude as a child in its
// own process group with an argument vector, the output box with its 30-line
// trimming and the exit status line. The window is a thin view over it; the
// command line drives the same machine.
#include "core/Clock.h"
#include "core/MessagePort.h"
#include "device/ChildProcess.h"
#include "device/FlashOutput.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace v7300 {

struct TFirmwareFlashSetup {
    // tools/isp beside the program: the working folder of the run, holding the
    // firmware files and, unless it is found on the search path, avrdude.
    std::string ToolsFolder;
    std::string SearchPath; // PATH syntax
    MessagePort* Messages = nullptr;
    Clock* ClockPort = nullptr;
};

class TFirmwareFlash {
public:
    static constexpr std::size_t kMaxOutputLines = 30;
    // Exit status when avrdude cannot be found or started.
    static constexpr int kNotStarted = 127;

    explicit TFirmwareFlash(TFirmwareFlashSetup setup);
    ~TFirmwareFlash();

    // ---- state
    void SelectEntry(int index); // -1: none
    int SelectedEntry() const { return Entry_; }
    void SetPorts(std::vector<std::string> ports);
    const std::vector<std::string>& Ports() const { return Ports_; }
    void SelectPort(int index); // -1: none
    int SelectedPort() const { return Port_; }
    bool Running() const { return Busy_; }
    bool ButtonEnabled() const { return !Busy_; }
    bool ListEnabled() const { return !Busy_; }
    const TFlashOutput& Output() const { return Output_; }
    const std::string& CommandLine() const { return CommandLine_; }
    std::optional<int> ExitStatus() const { return Status_; }
    // The pipe of a running avrdude (-1 when none), for the host to watch.
    int Descriptor() const;
    int ChildPid() const;

    // ---- events
    std::function<void(const std::string&)> OnOutput; // avrdude's bytes as they arrive
    std::function<void(const std::string&)> OnNote;   // the window's own lines
    std::function<void()> OnChanged;                  // output or state changed
    std::function<void()> OnFinished;                 // after "Falshvorgang beendet!"

    // ---- commands
    // "Firmware übertragen"; false when refused for want of an entry or a port.
    bool Transfer();
    // The host saw output on Descriptor().
    void OnReadable();
    // The 100 ms timer: output, the end of the run, the trimming.
    void OnTick(std::int64_t nowMs);
    // Closing the window: ends the avrdude run started here (its process group only).
    void Close();

    // The text of the last line after a run.
    static std::string StatusLine(int status);

private:
    void Read();
    void Finish(int status);
    void Changed();

    TFirmwareFlashSetup Setup_;
    SilentMessagePort Silent_;
    SystemClock SystemClock_;
    std::vector<std::string> Ports_;
    int Entry_ = -1;
    int Port_ = -1;
    bool Busy_ = false;
    std::unique_ptr<TChildProcess> Child_;
    TFlashOutput Output_;
    std::string CommandLine_;
    std::optional<int> Status_;
};

} // namespace v7300
