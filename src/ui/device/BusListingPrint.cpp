#include "ui/device/BusListingPrint.h"

#include "core/FileIO.h"
#include "model/BusListing.h"
#include "model/Logic.h"
#include "ui/dialogs/FileDialogs.h"
#include "ui/canvas/QtCanvasBusListing.h"
#include "ui/canvas/QtCanvasPainter.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace v7300 {

namespace {

void offerPdf(QWidget* parent, const TLogic& logic, MessagePort& messages, TFileDialogs& dialogs) {
    const MsgButton answer = messages.show({"Hinweis",
                                            "Es ist kein Drucker eingerichtet.\r\n"
                                            "Soll die Hardware Anschlussbeschreibung als PDF-Datei gespeichert werden?",
                                            MsgIcon::Information, MbYes | MbNo, MbYes});
    if (answer != MbYes) return;
    const std::string path = dialogs.SaveFile(parent, "PDF-Datei (*.pdf)|*.pdf", ".pdf");
    if (path.empty()) return;
    try {
        writeFileAtomic(path, BusListingPdf(logic.Components));
    } catch (const std::exception& e) {
        messages.showPlain(std::string("Speichern Fehlgeschlagen!\r\n") + e.what());
    }
}

} // namespace

void PrintBusListingDialog(QWidget* parent, const TLogic& logic, MessagePort& messages, TFileDialogs& dialogs,
                           TBusListingPrintPorts ports) {
    const QStringList printers = ports.Printers ? ports.Printers() : QPrinterInfo::availablePrinterNames();
    if (printers.isEmpty()) {
        offerPdf(parent, logic, messages, dialogs);
        return;
    }
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    printer.setDocName(QString::fromUtf8(kBusListingTitle));
    const bool confirmed = ports.Confirm ? ports.Confirm(printer, parent) : [&] {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }();
    if (!confirmed) return;
    TQtPrintPages pages(printer);
    if (!pages.Active()) {
        messages.showError("Der Druckauftrag kann nicht gestartet werden.");
        return;
    }
    PrintBusListing(logic.Components, pages);
    if (!pages.Finish()) messages.showError("Der Druckauftrag ist fehlgeschlagen.");
}

} // namespace v7300
