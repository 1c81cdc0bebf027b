// "Hardware Anschlussbeschreibung": the listing goes to the chosen printer, or
// without any printer into a PDF file the user names.
#include "EditorFixture.h"
#include "model/Logic.h"
#include "ui/device/BusListingPrint.h"

#include <QFile>
#include <QPrinter>

namespace v7300::test {
namespace {

int PageCount(const std::string& pdf) {
    int pages = 0;
    for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
        if (pdf.compare(at, 12, "/Type /Pages") != 0) ++pages;
    return pages;
}

class BusListingDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQApplication();
        // Enough bus components for two pages.
        for (int i = 1; i <= 8; ++i) {
            TLogicComponent c;
            c.TypeName = "BUS-OUT-VIII";
            c.Name = "BUS-OUT-VIII" + std::to_string(i);
            for (int k = 1; k <= 8; ++k)
                c.Variables.Add(TLogicComponentDefine::Create("NAME" + std::to_string(k), "Licht", "STR"));
            logic.Components.Add(c);
        }
    }
    TempDir dir;
    RecordingMessagePort messages;
    ScriptedDialogs dialogs;
    TLogic logic{ShippedLibrary(), messages};
};

TEST_F(BusListingDialogTest, WithoutPrinterTheListingIsOfferedAsPdf) {
    dialogs.answers = {dir.file("bus.pdf")};
    PrintBusListingDialog(nullptr, logic, messages, dialogs, {[] { return QStringList(); }, {}});
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].caption, "Hinweis");
    const std::string pdf = readFile(dir.file("bus.pdf"));
    EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
    EXPECT_EQ(PageCount(pdf), 2);
}

TEST_F(BusListingDialogTest, ConfirmedPrinterGetsThePagesAndCancelPrintsNothing) {
    const std::string out = dir.file("printer.pdf");
    TBusListingPrintPorts ports{[] { return QStringList{QStringLiteral("Drucker")}; },
                                [&](QPrinter& printer, QWidget*) {
                                    EXPECT_EQ(printer.docName(), QStringLiteral("Bus-Data"));
                                    printer.setOutputFormat(QPrinter::PdfFormat);
                                    printer.setOutputFileName(QString::fromStdString(out));
                                    return true;
                                }};
    PrintBusListingDialog(nullptr, logic, messages, dialogs, ports);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(PageCount(readFile(out)), 2);

    const std::string cancelled = dir.file("cancelled.pdf");
    ports.Confirm = [&](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(cancelled));
        return false;
    };
    PrintBusListingDialog(nullptr, logic, messages, dialogs, ports);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(cancelled)));
}

} // namespace
} // namespace v7300::test
