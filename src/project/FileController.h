#pragma once
// The file commands of the main window without the window: "Neu", "Öffnen",
// "Speichern", "Speichern Unter", the close query, the current file name and the
// marker of unsaved changes, which follows the editor's undo history. The one
// copy of the question "Sollen die Änderungen gespeichert werden?".
#include "core/MessagePort.h"
#include "model/DiagramEditor.h"

#include <functional>
#include <string>

namespace v7300 {

// The open and save dialogs (the window's, or scripted ones in tests).
class TFileDialogPort {
  public:
    virtual ~TFileDialogPort() = default;
    // The chosen path, "" when cancelled. Filters are written "Name (*.x)|*.x|…".
    virtual std::string OpenFile(const std::string& filter, const std::string& defaultExt) = 0;
    virtual std::string SaveFile(const std::string& filter, const std::string& defaultExt) = 0;
};

inline constexpr const char* kNewFileName = "New File";

class TFileController {
  public:
    TFileController(DiagramEditor& editor, MessagePort& messages, TFileDialogPort& dialogs);

    // The action log.
    std::function<void(const std::string&)> OnLog;
    // The shown name or the marker may have changed.
    std::function<void()> OnChanged;
    // Stops a running simulation before the document is replaced; true when one ran.
    std::function<bool()> StopSimulation;
    // Starts the simulation again (a file opened under "-simulate").
    std::function<void()> StartSimulation;
    // After "Öffnen" has read a file (the device link takes the project's address).
    std::function<void()> AfterOpen;

    bool New();
    bool Open();
    // Opens the path by the command-line rule or the open dialog's rule; the
    // document stays as it was when the file cannot be read.
    bool OpenPath(const std::string& path, bool commandLineRule);
    // True when the document was written.
    bool Save();
    bool SaveAs();
    // The close query: true when the window may close.
    bool CloseQuery();

    // The path of the project file, or "New File".
    const std::string& FileName() const { return fileName_; }
    // The name as the status bar shows it: "* " in front while modified.
    std::string DisplayedName() const;
    bool Modified() const { return editor_.Modified(); }

  private:
    bool AskSaveChanges();
    bool SaveToCurrentName();
    bool Read(const std::string& path, bool commandLineRule);
    void SetFileName(const std::string& name);
    void Log(const std::string& text);
    void Changed();

    DiagramEditor& editor_;
    MessagePort& messages_;
    TFileDialogPort& dialogs_;
    std::string fileName_ = kNewFileName;
};

} // namespace v7300
