#include "device/FirmwareFlash.h"

#include "device/FirmwareList.h"

namespace v7300 {

TFirmwareFlash::TFirmwareFlash(TFirmwareFlashSetup setup) : Setup_(std::move(setup)) {
    if (!Setup_.Messages) Setup_.Messages = &Silent_;
    if (!Setup_.ClockPort) Setup_.ClockPort = &SystemClock_;
}

TFirmwareFlash::~TFirmwareFlash() { Close(); }

void TFirmwareFlash::SelectEntry(int index) {
    if (Busy_) return;
    Entry_ = index >= 0 && index < static_cast<int>(kFirmwareEntries.size()) ? index : -1;
}

void TFirmwareFlash::SetPorts(std::vector<std::string> ports) {
    Ports_ = std::move(ports);
    Port_ = -1;
}

void TFirmwareFlash::SelectPort(int index) { Port_ = index >= 0 && index < static_cast<int>(Ports_.size()) ? index : -1; }

int TFirmwareFlash::Descriptor() const { return Child_ ? Child_->Descriptor() : -1; }

int TFirmwareFlash::ChildPid() const { return Child_ ? Child_->Pid() : 0; }

std::string TFirmwareFlash::StatusLine(int status) { return "avrdude beendet mit Status " + std::to_string(status); }

void TFirmwareFlash::Changed() {
    if (OnChanged) OnChanged();
}

bool TFirmwareFlash::Transfer() {
    if (Busy_) return false;
    if (Entry_ < 0) {
        Setup_.Messages->showPlain("Bitte zuerst eine Firmware auswählen!");
        return false;
    }
    if (Port_ < 0) {
        Setup_.Messages->showPlain("Bitte zuerst einen Comport auswählen!");
        return false;
    }
    Busy_ = true;
    Status_.reset();
    const std::string entry = kFirmwareEntries[static_cast<std::size_t>(Entry_)];
    const std::string& port = Ports_[static_cast<std::size_t>(Port_)];
    CommandLine_ = FirmwareCommandLine(entry, port);
    Output_.Clear();
    Output_.AppendLine(CommandLine_);
    Changed();

    const std::string program = FindProgram("avrdude", Setup_.ToolsFolder, Setup_.SearchPath);
    std::string failure;
    if (program.empty()) {
        failure = "avrdude nicht gefunden: gesucht in " + Setup_.ToolsFolder + " und im Suchpfad PATH=" +
                  Setup_.SearchPath;
    } else {
        Child_ = std::make_unique<TChildProcess>(*Setup_.ClockPort);
        failure = Child_->Start(program, FirmwareArguments(entry, port), Setup_.ToolsFolder);
    }
    if (!failure.empty()) {
        Child_.reset();
        Output_.AppendLine(failure);
        if (OnNote) OnNote(failure);
        Finish(kNotStarted);
    }
    return true;
}

void TFirmwareFlash::Read() {
    if (!Child_) return;
    const std::string bytes = Child_->ReadAvailable();
    if (bytes.empty()) return;
    Output_.Append(bytes);
    if (OnOutput) OnOutput(bytes);
    Changed();
}

void TFirmwareFlash::OnReadable() {
    if (!Child_) return;
    Read();
    // The end of the output usually means the end of the program.
    if (Child_ && Child_->Descriptor() < 0 && Child_->Reap()) Finish(*Child_->ExitStatus());
}

void TFirmwareFlash::OnTick(std::int64_t) {
    if (Child_) {
        Read();
        // Ended: the pipe is read once more and the run is over, even when a
        // program it started still holds the pipe open.
        if (Child_->Reap()) {
            Read();
            Finish(*Child_->ExitStatus());
        }
    }
    if (Output_.LineCount() > kMaxOutputLines) {
        Output_.Trim(kMaxOutputLines);
        Changed();
    }
}

void TFirmwareFlash::Finish(int status) {
    Child_.reset();
    Status_ = status;
    const std::string line = StatusLine(status);
    Output_.AppendLine(line);
    if (OnNote) OnNote(line);
    Changed();
    // The button and the list stay disabled until the message has been seen.
    Setup_.Messages->showPlain("Falshvorgang beendet!");
    if (OnFinished) OnFinished();
    Busy_ = false;
    Changed();
}

void TFirmwareFlash::Close() {
    if (!Child_) return;
    Child_->Terminate();
    Child_.reset();
    Busy_ = false;
}

} // namespace v7300
