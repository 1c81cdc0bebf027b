// Picture export (BMP, JPEG, PNG) and printing of the real main window.
#include "EditorFixture.h"

#include "core/FileIO.h"
#include "ui/dialogs/UnitError.h"
#include "ui/dialogs/Unit_Drucken.h"

#include <QAction>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTimer>

#include <cstdint>
#include <filesystem>
#include <set>

namespace v7300::test {
namespace {

namespace fs = std::filesystem;

const char* const kBmpEntry = "Bilddatei (*.bmp)";
const char* const kJpegEntry = "JPEG-Bilddatei (*.jpg)";
const char* const kPngEntry = "PNG-Bilddatei (*.png)";

std::uint32_t le32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes.at(at + static_cast<std::size_t>(i)));
    return v;
}
std::uint16_t le16(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes.at(at)) |
                                      (static_cast<unsigned char>(bytes.at(at + 1)) << 8));
}

enum class Format { Bmp, Jpeg, Png, Other };
Format FormatOf(const std::string& bytes) {
    if (bytes.rfind("BM", 0) == 0) return Format::Bmp;
    if (bytes.rfind("\xFF\xD8\xFF", 0) == 0) return Format::Jpeg;
    if (bytes.rfind("\x89PNG\r\n\x1A\n", 0) == 0) return Format::Png;
    return Format::Other;
}

int Rgb565(QRgb c) { return ((qRed(c) >> 3) << 11) | ((qGreen(c) >> 2) << 5) | (qBlue(c) >> 3); }

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) names.insert(entry.path().string());
    return names;
}

class ExportTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        Place("AND", 20, 10);
        Place("NUM", 40, 30);
    }
    void Export(const char* entry, const std::string& answer) {
        dialogs.answers = {answer};
        QAction* action = form->Action(QString::fromUtf8(entry));
        ASSERT_NE(action, nullptr) << entry;
        action->trigger();
    }
    static QImage Decode(const std::string& path) {
        QImage image;
        const std::string bytes = readFile(path);
        image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()));
        return image;
    }
};

TEST_F(ExportTest, BmpIsA16BitBitfieldBitmapOfTheWholeDocument) {
    const std::string path = dir.file("bild.bmp");
    Export(kBmpEntry, path);
    EXPECT_EQ(dialogs.filters.back(), "Bilddatei (*.bmp)|*.bmp");
    const std::string bytes = readFile(path);
    ASSERT_EQ(FormatOf(bytes), Format::Bmp);
    const std::uint32_t stride = 2000 * 2;
    EXPECT_EQ(le32(bytes, 2), bytes.size());        // file size
    EXPECT_EQ(le32(bytes, 10), 14u + 40u + 12u);     // pixel data after the headers and masks
    EXPECT_EQ(le32(bytes, 14), 40u);                 // info header size
    EXPECT_EQ(le32(bytes, 18), 2000u);               // width
    EXPECT_EQ(le32(bytes, 22), 2000u);               // height, bottom-up
    EXPECT_EQ(le16(bytes, 26), 1u);                  // planes
    EXPECT_EQ(le16(bytes, 28), 16u);                 // bits per pixel
    EXPECT_EQ(le32(bytes, 30), 3u);                  // bit fields
    EXPECT_EQ(le32(bytes, 34), stride * 2000u);      // image size
    EXPECT_EQ(le32(bytes, 54), 0xF800u);             // red mask
    EXPECT_EQ(le32(bytes, 58), 0x07E0u);             // green mask
    EXPECT_EQ(le32(bytes, 62), 0x001Fu);             // blue mask
    EXPECT_EQ(bytes.size(), 66u + stride * 2000u);
}

TEST_F(ExportTest, BmpAndPngShowTheSameDiagramPixelForPixel) {
    const std::string bmp = dir.file("bild.bmp");
    const std::string png = dir.file("bild.png");
    Export(kBmpEntry, bmp);
    Export(kPngEntry, png);
    EXPECT_EQ(dialogs.filters.back(), "Bilddatei (*.png)|*.png");
    ASSERT_EQ(FormatOf(readFile(png)), Format::Png);
    const QImage fromBmp = Decode(bmp).convertToFormat(QImage::Format_RGB32);
    const QImage fromPng = Decode(png).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(fromBmp.size(), QSize(2000, 2000));
    ASSERT_EQ(fromPng.size(), QSize(2000, 2000));
    // Both hold the 16-bit picture: the same pixels, rows not flipped, channels not swapped
    // (Decoders widen 5-6-5 values differently, so the 16-bit values are compared.)
    int differing = 0;
    for (int y = 0; y < 2000; ++y)
        for (int x = 0; x < 2000; ++x)
            differing += Rgb565(fromBmp.pixel(x, y)) != Rgb565(fromPng.pixel(x, y)) ? 1 : 0;
    EXPECT_EQ(differing, 0);
    // The diagram is on it: light drawing on black, around the placed components only.
    EXPECT_EQ(qRgb(0, 0, 0), fromPng.pixel(1505, 1505));
    int lit = 0;
    for (int y = 100; y < 160; ++y)
        for (int x = 200; x < 260; ++x) lit += fromPng.pixel(x, y) != qRgb(0, 0, 0) ? 1 : 0;
    EXPECT_GT(lit, 20);
    // Every pixel is a 5-6-5 value widened back: the low bits repeat the high ones.
    for (const QPoint p : {QPoint(205, 105), QPoint(215, 125), QPoint(405, 305), QPoint(0, 0)}) {
        const QRgb c = fromPng.pixel(p);
        EXPECT_EQ(qRed(c) & 7, qRed(c) >> 5) << p.x() << "," << p.y();
        EXPECT_EQ(qGreen(c) & 3, qGreen(c) >> 6) << p.x() << "," << p.y();
        EXPECT_EQ(qBlue(c) & 7, qBlue(c) >> 5) << p.x() << "," << p.y();
    }
}

TEST_F(ExportTest, JpegDecodesToTheWholeDocument) {
    const std::string path = dir.file("bild.jpg");
    Export(kJpegEntry, path);
    EXPECT_EQ(dialogs.filters.back(), "Bilddatei (*.jpg)|*.jpg");
    ASSERT_EQ(FormatOf(readFile(path)), Format::Jpeg);
    const QImage image = Decode(path);
    EXPECT_EQ(image.size(), QSize(2000, 2000));
    EXPECT_LT(qGray(image.pixel(1505, 1505)), 16); // black background survives the compression
}

TEST_F(ExportTest, FileTypeFollowsTheEntryAndForBmpOnlyAnExactJpgExtension) {
    struct Case {
        const char* entry;
        const char* name;
        Format expected;
    };
    const Case cases[] = {
        {kBmpEntry, "a.bmp", Format::Bmp},
        {kBmpEntry, "b.jpg", Format::Jpeg},  // the BMP entry writes JPEG for exactly ".jpg"
        {kBmpEntry, "c.JPG", Format::Bmp},   // the comparison is case-sensitive
        {kBmpEntry, "d.png", Format::Bmp},   // anything else is a bitmap
        {kBmpEntry, "f", Format::Bmp},
        {kJpegEntry, "h.png", Format::Jpeg}, // JPEG and PNG ignore the extension
        {kPngEntry, "j.jpg", Format::Png},
    };
    for (const Case& c : cases) {
        const std::string path = dir.file(c.name);
        Export(c.entry, path);
        ASSERT_TRUE(fs::exists(path)) << c.name;
        EXPECT_EQ(FormatOf(readFile(path)), c.expected) << c.entry << " -> " << c.name;
    }
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ExportTest, CancelledDialogWritesNothing) {
    const std::set<std::string> before = FilesIn(dir.path());
    for (const char* entry : {kBmpEntry, kJpegEntry, kPngEntry}) Export(entry, "");
    EXPECT_EQ(dialogs.filters.size(), 3u);
    EXPECT_EQ(FilesIn(dir.path()), before);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ExportTest, JpegAndPngWriteFailureShowsTheMessageAndLeavesNoFile) {
    fs::create_directory(dir.file("bilder"));
    struct Case {
        const char* entry;
        std::string path;
    };
    const Case cases[] = {
        {kPngEntry, dir.file("fehlt/bild.png")}, // folder does not exist
        {kJpegEntry, dir.file("fehlt/bild.jpg")},
        {kPngEntry, dir.file("bilder")},         // the target is a folder: writing works, the rename fails
        {kJpegEntry, dir.file("bilder")},
    };
    for (const Case& c : cases) {
        messages.messages.clear();
        const std::set<std::string> before = FilesIn(dir.path());
        Export(c.entry, c.path);
        ASSERT_EQ(messages.messages.size(), 1u) << c.path;
        const Message& m = messages.messages.front();
        EXPECT_EQ(m.caption, "");
        EXPECT_EQ(m.text, "Speichern Fehlgeschlagen!\r\nIn " + c.path + " kann nicht geschrieben werden");
        EXPECT_EQ(FilesIn(dir.path()), before) << c.path; // no temporary file left behind
    }
    EXPECT_TRUE(fs::is_directory(dir.file("bilder")));
}

TEST_F(ExportTest, BmpWriteFailureReachesTheErrorReportWindowAndLeavesNoFile) {
    TFrmError window(messages);
    window.ExecModal = false;
    SetErrorReportWindow(&window);
    fs::create_directory(dir.file("bilder"));
    const std::set<std::string> before = FilesIn(dir.path());
    const std::string path = dir.file("bilder");
    Export(kBmpEntry, path);
    SetErrorReportWindow(nullptr);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.ErrorBox->toPlainText().endsWith(
        QString::fromStdString("ErrorMessage: In " + path + " kann nicht geschrieben werden")))
        << window.ErrorBox->toPlainText().toStdString();
    EXPECT_TRUE(messages.messages.empty()); // no message box of its own
    EXPECT_EQ(FilesIn(dir.path()), before);
}

TEST_F(ExportTest, JpegAndPngDuringSimulationSayWhyAndWriteNothing) {
    form->StartSimulation();
    ASSERT_TRUE(form->Logic().Simulating());
    for (const char* entry : {kJpegEntry, kPngEntry}) {
        messages.messages.clear();
        const std::string path = dir.file(std::string("sim.") + (entry == kPngEntry ? "png" : "jpg"));
        Export(entry, path);
        EXPECT_EQ(messages.texts(), std::vector<std::string>{"Während der Simulation kann nicht gedruckt werden."});
        EXPECT_FALSE(fs::exists(path));
    }
    form->StopSimulation();
}

// ---------------------------------------------------------------- printing

class PrintTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        previousLocale = QLocale();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        clock.setLocal({2024, 3, 5, 14, 7, 9, 0});
    }
    void TearDown() override {
        QLocale::setDefault(previousLocale);
        EditorTest::TearDown();
    }
    QLocale previousLocale;
};

TEST_F(PrintTest, CtrlPHandsThePictureAndTheDisplayedNameToTheModalDialog) {
    Place("AND", 20, 10);
    form->MarkModified();
    QAction* print = form->Action(QStringLiteral("Drucken"));
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    bool seen = false;
    QSize pictureSize;
    QString title;
    QString caption;
    bool modal = false;
    QTimer::singleShot(0, form.get(), [&] {
        auto* dialog = form->findChild<TFrmDrucken*>();
        if (dialog == nullptr) return;
        seen = dialog->isVisible();
        modal = dialog->isModal();
        pictureSize = dialog->Picture().size();
        title = dialog->Title();
        caption = dialog->windowTitle();
        dialog->reject();
    });
    print->trigger();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(modal);
    EXPECT_EQ(caption, QStringLiteral("Druckvorschau"));
    EXPECT_EQ(pictureSize, QSize(2000, 2000));
    EXPECT_EQ(title, QStringLiteral("* New File"));
}

TEST_F(PrintTest, NothingIsPrintedWhileSimulating) {
    Place("AND", 20, 10);
    form->StartSimulation();
    bool dialogShown = false;
    QTimer::singleShot(0, form.get(), [&] {
        if (auto* dialog = form->findChild<TFrmDrucken*>(); dialog && dialog->isVisible()) {
            dialogShown = true;
            dialog->reject();
        }
    });
    form->Action(QStringLiteral("Drucken"))->trigger();
    QCoreApplication::processEvents();
    EXPECT_FALSE(dialogShown);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Während der Simulation kann nicht gedruckt werden."});
    form->StopSimulation();
}

TEST_F(PrintTest, DateLineIsTheClocksDateAndTimeWithoutZone) {
    TFrmDrucken dialog(clock);
    EXPECT_EQ(dialog.DateLine(), QStringLiteral("05.03.24 14:07:09"));
    clock.setLocal({2031, 12, 24, 9, 5, 0, 0});
    EXPECT_EQ(dialog.DateLine(), QStringLiteral("24.12.31 09:05:00"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // Other locales keep their own order and markers, still without a zone name.
    const QString english = dialog.DateLine();
    EXPECT_TRUE(english.startsWith(QStringLiteral("12/24/31 9:05:00"))) << english.toStdString();
    EXPECT_TRUE(english.endsWith(QStringLiteral("AM"))) << english.toStdString();
}

// A page drawn into a white image: the picture, scaled to fit, sits at (0, 5t) below the two text lines.
TEST_F(PrintTest, PageScalesThePictureToFitAndPlacesItBelowTheTextLines) {
    struct Case {
        QSize page;
        QSize picture;
        double scale;
        QSize drawn;
    };
    const Case cases[] = {
        {{1000, 1500}, {200, 100}, 5.0, {1000, 500}},  // width limits
        {{1000, 400}, {200, 100}, 4.0, {800, 400}},    // height limits
        {{333, 1000}, {200, 100}, 1.665, {333, 166}},  // sizes are truncated
        {{1190, 1684}, {2000, 2000}, 0.595, {1190, 1190}}, // the document on a portrait page
    };
    for (const Case& c : cases) {
        QImage picture(c.picture, QImage::Format_RGB32);
        picture.fill(Qt::red);
        TFrmDrucken dialog(clock);
        dialog.SetPicture(picture, QStringLiteral("Titel"));
        QImage page(c.page.width(), c.page.height() + 300, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        const int t = painter.fontMetrics().height();
        const double f = dialog.DrawPage(painter, c.page.width(), c.page.height());
        painter.end();
        SCOPED_TRACE(testing::Message() << c.page.width() << "x" << c.page.height());
        EXPECT_DOUBLE_EQ(f, c.scale);
        const int top = 5 * t;
        const int right = c.drawn.width() - 1;
        const int bottom = top + c.drawn.height() - 1;
        EXPECT_EQ(page.pixel(0, top), qRgb(255, 0, 0));
        EXPECT_EQ(page.pixel(right, bottom), qRgb(255, 0, 0));
        EXPECT_EQ(page.pixel(right / 2, top - 1), qRgb(255, 255, 255));
        EXPECT_EQ(page.pixel(right / 2, bottom + 1), qRgb(255, 255, 255));
        if (right + 1 < page.width()) {
            EXPECT_EQ(page.pixel(right + 1, top + 1), qRgb(255, 255, 255));
        }
        // Title and date line: ink above the picture, starting at x = 5.
        auto inkInRows = [&](int from, int to) {
            int ink = 0;
            for (int y = std::max(0, from); y < to; ++y)
                for (int x = 0; x < std::min(page.width(), 400); ++x) {
                    if (page.pixel(x, y) != qRgb(255, 255, 255)) ++ink;
                }
            return ink;
        };
        EXPECT_GT(inkInRows(0, t + 1), 0);         // the title, baseline at t
        EXPECT_GT(inkInRows(t + 1, 3 * t + 1), 0); // the date line, baseline at 3t
    }
}

TEST_F(PrintTest, WithoutPictureThePageStaysEmpty) {
    TFrmDrucken dialog(clock);
    QImage page(300, 300, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    EXPECT_EQ(dialog.DrawPage(painter, 300, 300), 0.0);
    painter.end();
    QImage white(300, 300, QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_TRUE(page == white);
}

TEST_F(PrintTest, PrintJobIntoAPdfHoldsThePicture) {
    Place("AND", 20, 10);
    const std::string pdfPath = dir.file("druck.pdf");
    bool printed = false;
    QTimer::singleShot(0, form.get(), [&] {
        auto* dialog = form->findChild<TFrmDrucken*>();
        if (dialog == nullptr) return;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setOutputFileName(QString::fromStdString(pdfPath));
        printed = dialog->PrintTo(printer);
        dialog->reject();
    });
    form->PrintDiagram();
    ASSERT_TRUE(printed);
    const std::string pdf = readFile(pdfPath);
    ASSERT_GT(pdf.size(), 1000u);
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    EXPECT_NE(pdf.find("/Subtype /Image"), std::string::npos);
    EXPECT_NE(pdf.find("%%EOF"), std::string::npos);
}

} // namespace
} // namespace v7300::test
