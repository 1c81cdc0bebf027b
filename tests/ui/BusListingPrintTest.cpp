// The bus listing drawn by the painter canvas in printer pixels (600 dpi), onto
// page pictures at a quarter of that size: saved under the build tree to look
// at, and checked for ink where the layout puts its texts.
#include "EditorFixture.h"

#include "model/BusListing.h"
#include "ui/canvas/QtCanvasPainter.h"

#include <QDir>
#include <QImage>
#include <QPainter>

#include <memory>
#include <vector>

namespace v7300::test {
namespace {

constexpr int kA4Width = 4961, kA4Height = 7016; // A4 at 600 dpi
constexpr double kScale = 0.25;

// Pages as pictures: the canvas works in printer pixels and fonts, the painter scales down.
class PicturePages : public TPrintPages {
public:
    PicturePages() { begin(); }
    Canvas& Page() override { return *canvas_; }
    void NewPage() override {
        finish();
        begin();
    }
    std::vector<QImage> Finish() {
        finish();
        return pages_;
    }

private:
    void begin() {
        QImage page(static_cast<int>(kA4Width * kScale), static_cast<int>(kA4Height * kScale), QImage::Format_RGB32);
        page.setDotsPerMeterX(23622); // 600 dpi: the fonts take their printer size
        page.setDotsPerMeterY(23622);
        page.fill(Qt::white);
        pages_.push_back(page);
        painter_ = std::make_unique<QPainter>(&pages_.back());
        painter_->setRenderHint(QPainter::Antialiasing);
        painter_->scale(kScale, kScale);
        canvas_ = std::make_unique<TQtPainterCanvas>(*painter_, kA4Width, kA4Height);
    }
    void finish() {
        canvas_.reset();
        if (painter_) painter_->end();
        painter_.reset();
    }
    std::vector<QImage> pages_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<TQtPainterCanvas> canvas_;
};

bool inkIn(const QImage& page, int x, int y, int w, int h) {
    for (int yy = y; yy < y + h; ++yy)
        for (int xx = x; xx < x + w; ++xx)
            if (qGray(page.pixel(xx, yy)) < 128) return true;
    return false;
}

TEST(BusListingPrint, PagesCarryHeadingNamesAndVariables) {
    EnsureQApplication();
    TLogicComponentList list;
    for (int i = 1; i <= 4; ++i) {
        TLogicComponent c;
        c.TypeName = "BUS-OUT-VIII";
        c.Name = "BUS-OUT-VIII" + std::to_string(i);
        c.Variables.Add(TLogicComponentDefine::Create("NAME", "Verteilung Keller", "STR"));
        c.Variables.Add(TLogicComponentDefine::Create("BUSID", std::to_string(i), "INT"));
        for (int k = 1; k <= 8; ++k) {
            c.Variables.Add(TLogicComponentDefine::Create("NAME" + std::to_string(k), "Küche Licht " + std::to_string(k), "STR"));
            c.Variables.Add(TLogicComponentDefine::Create("DEV" + std::to_string(k), "Beleuchtung", "STR"));
        }
        list.Add(c);
    }
    PicturePages pages;
    PrintBusListing(list, pages);
    const std::vector<QImage> pictures = pages.Finish();
    ASSERT_EQ(pictures.size(), 2u);
    const QString folder = QStringLiteral(V7300_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    for (std::size_t i = 0; i < pictures.size(); ++i)
        pictures[i].save(folder + QStringLiteral("/bus-listing-%1.png").arg(i + 1));
    const QImage& first = pictures[0];
    // Heading at (300, 300), 16 point: ink in its first line, none left of x = 300.
    EXPECT_TRUE(inkIn(first, 300 / 4, 300 / 4, 200, 35));
    EXPECT_FALSE(inkIn(first, 0, 0, 300 / 4 - 2, first.height()));
    // Names from x = 500, variables from x = 700: nothing between 300 and 500 below the heading.
    EXPECT_TRUE(inkIn(first, 500 / 4, 1000 / 4, 40, first.height() / 2));
    EXPECT_FALSE(inkIn(first, 300 / 4 + 2, 800 / 4, 200 / 4 - 4, first.height() - 800 / 4));
    // The second page starts at 300.
    EXPECT_TRUE(inkIn(pictures[1], 500 / 4, 300 / 4, 300, 40));
}

} // namespace
} // namespace v7300::test
