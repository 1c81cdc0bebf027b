// The main window's file commands: the project through the file controller, the
// picture export, printing and the program transfer.
#include "ui/app/Hauptform.h"

#include "core/Error.h"
#include "core/FileIO.h"
#include "core/JpegWriter.h"
#include "device/LogicCompiler.h"
#include "device/UnitV7300EEPROMData.h"
#include "model/LogicRenderer.h"
#include "project/FileController.h"
#include "ui/app/ActionLog.h"
#include "ui/canvas/QtImage.h"
#include "ui/dialogs/FileDialogs.h"
#include "ui/dialogs/Unit_Drucken.h"

namespace v7300 {

void TForm2::NewProject() {
    files_->New();
}
void TForm2::OpenProject() {
    files_->Open();
}
bool TForm2::SaveProject() {
    return files_->Save();
}
bool TForm2::SaveProjectAs() {
    return files_->SaveAs();
}
bool TForm2::CloseQuery() {
    return files_->CloseQuery();
}

void TForm2::ExportPicture(int kind) {
    static const char* tags[] = {"Save As BMP", "Save As JPG", "Save PNG"};
    static const char* filters[] = {"Bilddatei (*.bmp)|*.bmp", "Bilddatei (*.jpg)|*.jpg",
                                    "Bilddatei (*.png)|*.png"};
    static const char* exts[] = {".bmp", ".jpg", ".png"};
    Log(tags[kind]);
    const std::string path = dialogs_->SaveFile(this, filters[kind], exts[kind]);
    if (path.empty()) return;
    // Pictures are always drawn at 100 %, whatever the view's zoom.
    if (kind == 0) {
        renderer_->Export_Bild(path);
        return;
    }
    try {
        const std::optional<Image> picture = renderer_->Get_Bild();
        if (!picture) return;
        const std::string bytes = kind == 2 ? encodePng(*picture) : encodeJpeg(*picture);
        writeFileAtomic(path, bytes);
    } catch (const std::exception& e) {
        messages_.showPlain("Speichern Fehlgeschlagen!\r\n" + userMessage(e));
    }
}

void TForm2::PrintDiagram() {
    Log("Drucken");
    const std::optional<Image> picture = renderer_->Get_Bild();
    if (!picture) return;
    if (!print_) {
        print_ = new TFrmDrucken(clock_, this);
        print_->Messages = &messages_;
        print_->Dialogs = dialogs_;
    }
    print_->SetPicture(toQImage(*picture), QString::fromStdString(files_->DisplayedName()));
    print_->move(geometry().center() - QPoint(print_->width() / 2, print_->height() / 2));
    print_->exec();
}

void TForm2::TransferProgram() {
    if (logic_->Components.CountWithoutTXT() >= 100) {
        messages_.showError("Zu viele Logikbausteine. Die Logik kann nicht übertragen werden!");
        return;
    }
    TV7300_EEPROM_Data image;
    try {
        CreateNETIOData(*logic_, image);
    } catch (const Error& e) {
        messages_.showError(std::string("Datensatz kann nicht erstellt werden!\r\n") + e.what());
        return;
    }
    std::string hints;
    for (const auto& hint : OpenInputHints(*logic_)) hints += (hints.empty() ? "" : "\r\n") + hint;
    if (!hints.empty()) messages_.showHint(hints);
    Log("Create CRC");
    expectedCrc_ = GetCrc(*logic_);
    // The transfer window comes with later work: it pauses the device timer
    // (SetDeviceTimerPaused), takes the telegrams through LinkControl().Router()
    // while it is open, and its change of the device address is one undo step
    // (Editor().Commit()).
}

} // namespace v7300
