#pragma once
// What the simulation does outside itself goes through these ports, supplied by
// the host: the editor shows the LCD window, opens programs, plays sounds and
// shows slider windows; the command line reports them or carries them out.
// A null port means the effect does not happen.
#include <string>
#include <vector>

namespace v7300 {

// The character LCD window. Called on the simulation's worker thread: a UI
// implementation hands the lines over to its own thread.
class LcdPort {
public:
    virtual ~LcdPort() = default;
    // Characters 1-16 and 17-32 of the LCD text.
    virtual void SetLines(const std::string& line1, const std::string& line2) = 0;
    // An LCD statement ran: show the window (again, when the user closed it).
    virtual void Show() = 0;
};

// EXEC: open a program or document with the desktop's default action.
// Never through a shell: the parameters are split into an argument vector.
struct ExecRequest {
    std::string Path;        // the program or document
    std::string Parameters;  // the rest of the command, trimmed
    std::string WorkingDir;  // the folder of Path
};
class ExecPort {
public:
    virtual ~ExecPort() = default;
    // Failures are not reported.
    virtual void Open(const ExecRequest& request) = 0;
};

// PLAY: play a WAV file asynchronously; a sound still playing is cut off.
class PlayPort {
public:
    virtual ~PlayPort() = default;
    virtual void Play(const std::string& fileName) = 0;
};

// SMTP: send one plain-text mail. Blocks until done; raises Error when the
// server cannot be reached or refuses the mail.
struct SmtpMessage {
    std::string Host;
    int Port = 25;
    std::string User;
    std::string Password;
    std::string Sender;
    std::vector<std::string> Recipients;
    std::string Subject; // "V7300-Logik Message"
    std::string Body;
};
class SmtpPort {
public:
    virtual ~SmtpPort() = default;
    virtual void Send(const SmtpMessage& message) = 0;
};

// Requests of the simulation runtime to the user interface.
class SimulationUiPort {
public:
    virtual ~SimulationUiPort() = default;
    // Show (creating on first use) and focus the slider window of the analogue
    // input component (caption "IN" + n); its movements call SetInputValue(component, 1, value).
    virtual void ShowSliderWindow(const std::string& componentName) = 0;
};

struct TEffectPorts {
    LcdPort* Lcd = nullptr;
    ExecPort* Exec = nullptr;
    PlayPort* Play = nullptr;
    SmtpPort* Smtp = nullptr;
    SimulationUiPort* Ui = nullptr;
    // The fixed sender address of SMTP mails (a configuration value).
    std::string SmtpSender = "v7300-logik@localhost";
};

// The real effects on a POSIX desktop: EXEC runs an executable with its
// arguments or hands a document to xdg-open; PLAY runs aplay in the background.
class PosixExecPort : public ExecPort {
public:
    ~PosixExecPort() override;
    void Open(const ExecRequest& request) override;

private:
    void Reap();
    std::vector<int> children_; // started programs not yet reaped
};
class PosixPlayPort : public PlayPort {
public:
    // Cuts off a sound still playing.
    ~PosixPlayPort() override;
    void Play(const std::string& fileName) override;
    // Cuts off a sound still playing (the simulation stops).
    void Stop();

private:
    int child_ = -1;
};

// Splits EXEC parameters into arguments: blanks separate, double quotes group.
std::vector<std::string> SplitArguments(const std::string& parameters);

} // namespace v7300
