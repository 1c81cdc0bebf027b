// v7300 bus print PROJECT -o FILE.pdf: the bus listing print-out ("Bus-Data")
// as a PDF on A4 at 600 dots per inch, the printer's pixels of the layout.
#include "cli/Commands.h"
#include "core/Error.h"

#ifdef V7300_HAVE_QT
#include "cli/GuiApplication.h"
#include "core/FileIO.h"
#include "model/BusListing.h"
#include "model/Logic.h"
#include "project/ProjectFile.h"
#include "ui/canvas/QtCanvasPainter.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include <algorithm>
#include <cctype>
#endif

namespace v7300::cli {

#ifdef V7300_HAVE_QT
namespace {

constexpr int kPrinterDpi = 600;

bool endsWithPdf(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".pdf";
}

} // namespace

int cmdBusPrint(Context& ctx) {
    auto& args = ctx.args;
    std::string output;
    if (!takeOption(args, "-o", output) || output.empty()) throw UsageError("bus print: -o DATEI.pdf fehlt");
    if (!endsWithPdf(output)) throw UsageError("bus print: -o muss auf .pdf enden: " + output);
    if (args.size() != 1 || args.front().rfind("--", 0) == 0)
        throw UsageError("Aufruf: v7300 bus print PROJECT -o DATEI.pdf");

    const auto app = ensureGuiApplication();
    TLogic logic(ctx.libraryDir, ctx.messages);
    logic.NewProject();
    if (!OpenProjectFile(logic, args.front()))
        throw Error("Das Projekt " + args.front() + " kann nicht geöffnet werden.");

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(QString::fromUtf8(kBusListingTitle));
        pdf.setCreator(QStringLiteral("v7300"));
        pdf.setResolution(kPrinterDpi);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        TQtPrintPages pages(pdf);
        if (!pages.Active()) throw Error("Die PDF-Datei kann nicht erzeugt werden.");
        PrintBusListing(logic.Components, pages);
        if (!pages.Finish()) throw Error("Die PDF-Datei kann nicht erzeugt werden.");
    }
    writeFileAtomic(output, buffer.data().toStdString());
    return 0;
}

#else

int cmdBusPrint(Context&) { throw Error("bus print: Dieses Programm wurde ohne Qt gebaut."); }

#endif

} // namespace v7300::cli
