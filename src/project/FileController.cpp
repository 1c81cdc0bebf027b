#include "project/FileController.h"

#include "core/Error.h"
#include "project/ProjectFile.h"
#include "project/XmlProject.h"

#include <filesystem>

namespace v7300 {
namespace {

bool fileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

} // namespace

TFileController::TFileController(DiagramEditor& editor, MessagePort& messages, TFileDialogPort& dialogs)
    : editor_(editor), messages_(messages), dialogs_(dialogs) {}

void TFileController::Log(const std::string& text) {
    if (OnLog) OnLog(text);
}

void TFileController::Changed() {
    if (OnChanged) OnChanged();
}

void TFileController::SetFileName(const std::string& name) {
    fileName_ = name;
    Changed();
}

std::string TFileController::DisplayedName() const {
    return Modified() ? "* " + fileName_ : fileName_;
}

bool TFileController::AskSaveChanges() {
    if (!Modified()) return true;
    const MsgButton answer = messages_.show({"Speichern", "Sollen die Änderungen gespeichert werden?",
                                             MsgIcon::Question, MbYes | MbNo | MbCancel, MbYes});
    if (answer == MbCancel) return false;
    // Yes: only what was written may be dropped.
    return answer == MbNo || Save();
}

bool TFileController::New() {
    Log("Neues Projekt");
    TLogic& logic = editor_.Document();
    if (logic.get_objekt_id("IN1", false) != -1 &&
        messages_.show({"INFO", "Bestehende daten werden gelöscht!", MsgIcon::None, MbOk | MbCancel, MbOk}) ==
            MbCancel)
        return false;
    // Unsaved work is never dropped without asking.
    if (!AskSaveChanges()) return false;
    if (StopSimulation) StopSimulation();
    logic.NewProject();
    logic.Select_Objekt("");
    editor_.ResetHistory();
    SetFileName(kNewFileName);
    return true;
}

bool TFileController::Open() {
    Log("Open");
    if (!AskSaveChanges()) return false;
    const std::string path = dialogs_.OpenFile(
        "V7300-Datei (*.v7k)|*.v7k|LOGIK FILES (*.V7300_Logik)|*.V7300_Logik", ".V7300_Logik");
    if (path.empty()) return false;
    const bool ok = OpenPath(path, false);
    if (AfterOpen) AfterOpen();
    return ok;
}

bool TFileController::OpenPath(const std::string& path, bool commandLineRule) {
    // The document is never replaced under a running simulation; a simulation
    // started before (the command line's "-simulate") goes on with the new diagram.
    const bool wasSimulating = StopSimulation && StopSimulation();
    const bool ok = Read(path, commandLineRule);
    if (wasSimulating && StartSimulation) StartSimulation();
    return ok;
}

bool TFileController::Read(const std::string& path, bool commandLineRule) {
    TLogic& logic = editor_.Document();
    // What the document held, so that a file that cannot be read leaves it as it was.
    const TDiagramContent before = logic.Content();
    bool ok = false;
    try {
        ok = commandLineRule ? OpenProjectFile(logic, path) : OpenProjectFileFromDialog(logic, path);
    } catch (const Error& e) {
        messages_.showError(e.what());
    }
    if (!ok) {
        logic.SetContent(before);
        logic.Select_Objekt("");
        Changed();
        return false;
    }
    logic.Select_Objekt("");
    editor_.ResetHistory();
    SetFileName(path);
    return true;
}

bool TFileController::SaveToCurrentName() {
    if (FileExtension(fileName_) != ".v7k") fileName_ += ".v7k";
    try {
        SaveXml(editor_.Document(), fileName_);
    } catch (const Error& e) {
        messages_.showError(e.what());
        editor_.MarkUnsaved();
        Changed();
        return false;
    }
    editor_.MarkSaved();
    Changed();
    return true;
}

bool TFileController::Save() {
    Log("Save");
    if (fileExists(fileName_)) return SaveToCurrentName();
    // Nothing written (the dialog cancelled): the marker stays.
    return SaveAs();
}

bool TFileController::SaveAs() {
    Log("Save As v7k");
    const std::string path = dialogs_.SaveFile("V7300 (*.v7k)|*.v7k", ".v7k");
    if (path.empty()) return false;
    try {
        SaveXml(editor_.Document(), path);
    } catch (const Error& e) {
        messages_.showError(e.what());
        return false;
    }
    editor_.MarkSaved();
    SetFileName(path);
    return true;
}

bool TFileController::CloseQuery() {
    Log("FormCloseQuery");
    // Yes closes the window only when the work was written.
    return AskSaveChanges();
}

} // namespace v7300
