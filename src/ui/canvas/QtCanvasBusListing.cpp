#include "ui/canvas/QtCanvasBusListing.h"

#include "core/Error.h"
#include "model/BusListing.h"
#include "ui/canvas/QtCanvasPainter.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

namespace v7300 {

namespace {
constexpr int kPrinterDpi = 600;
}

std::string BusListingPdf(const TLogicComponentList& components) {
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
        PrintBusListing(components, pages);
        if (!pages.Finish()) throw Error("Die PDF-Datei kann nicht erzeugt werden.");
    }
    return buffer.data().toStdString();
}

} // namespace v7300
