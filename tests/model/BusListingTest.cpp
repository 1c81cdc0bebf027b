// The bus listing print-out on recorded pages: positions, fonts, which
// components are listed, and the page breaks.
#include "model/BusListing.h"

#include <gtest/gtest.h>

namespace v7300 {
namespace {

struct PrintedText {
    int page, x, y;
    std::string text;
    TCanvasFont font;
};

// A page canvas that records texts; fonts are 133, 100 and 83 pixels high (600 dpi).
class RecordingPages : public TPrintPages, public Canvas {
public:
    explicit RecordingPages(int height) : height_(height) {}
    Canvas& Page() override { return *this; }
    void NewPage() override { ++page_; }

    int Width() const override { return 4800; }
    int Height() const override { return height_; }
    void SetSize(int, int) override {}
    void SetPen(const TCanvasPen&) override {}
    void SetBrush(const TCanvasBrush&) override {}
    void Fill(std::uint32_t) override {}
    void FillRect(int, int, int, int, std::uint32_t) override {}
    void Pixels(const std::vector<TCanvasPoint>&, std::uint32_t) override {}
    void MoveTo(int, int) override {}
    void LineTo(int, int) override {}
    TCanvasPoint PenPos() const override { return {}; }
    void Polyline(const std::vector<TCanvasPoint>&) override {}
    void Rectangle(int, int, int, int) override {}
    void Ellipse(int, int, int, int) override {}
    TTextSize TextExtent(TCanvasFont font, const std::string& text) override {
        const int h = font == TCanvasFont::PrintTitle ? 133 : font == TCanvasFont::PrintName ? 100 : 83;
        return {static_cast<int>(text.size()) * 40, h};
    }
    void TextOut(int x, int y, const std::string& text, TCanvasFont font, std::uint32_t, bool, std::uint32_t) override {
        texts.push_back({page_, x, y, text, font});
    }
    void DrawImage(int, int, const Image&) override {}
    void SetClip(int, int, int, int) override {}
    void ClearClip() override {}
    Image ToImage() const override { return {}; }

    std::vector<PrintedText> texts;
    int pages() const { return page_ + 1; }

private:
    int height_;
    int page_ = 0;
};

TLogicComponent component(const std::string& type, const std::string& name, int variables) {
    TLogicComponent c;
    c.TypeName = type;
    c.Name = name;
    for (int i = 1; i <= variables; ++i)
        c.Variables.Add(TLogicComponentDefine::Create("V" + std::to_string(i), "Wert " + std::to_string(i), "STR"));
    return c;
}

TEST(BusListingTest, HeadingNameAndVariablesStandAtTheirPositions) {
    TLogicComponentList list;
    list.Add(component("BUS-OUT-II", "BUS-OUT-II1", 2));
    RecordingPages pages(7000);
    PrintBusListing(list, pages);
    ASSERT_EQ(pages.texts.size(), 4u);
    const auto& t = pages.texts;
    EXPECT_EQ(t[0].text, "V7300 - Bus - Konfiguration");
    EXPECT_EQ(std::tie(t[0].x, t[0].y, t[0].font), std::make_tuple(300, 300, TCanvasFont::PrintTitle));
    EXPECT_EQ(std::tie(t[1].x, t[1].y, t[1].font), std::make_tuple(500, 133 + 610, TCanvasFont::PrintName));
    EXPECT_EQ(t[1].text, "BUS-OUT-II1");
    EXPECT_EQ(std::tie(t[2].x, t[2].y, t[2].font), std::make_tuple(700, 743 + 110, TCanvasFont::PrintText));
    EXPECT_EQ(t[2].text, "V1: Wert 1");
    EXPECT_EQ(t[3].y, 853 + 93);
    EXPECT_EQ(pages.pages(), 1);
}

TEST(BusListingTest, OnlyBusTypesArePrintedButEveryComponentTakesItsGap) {
    TLogicComponentList list;
    list.Add(component("AND", "AND1", 1));     // before any bus component: the heading's font height
    list.Add(component("BUS-TEMP-IV", "BUS-TEMP-IV1", 0));
    list.Add(component("TXT", "TXT1", 1));     // after one: the font it used last
    list.Add(component("BUS-PWM-II", "BUS-PWM-II1", 0));
    RecordingPages pages(7000);
    PrintBusListing(list, pages);
    ASSERT_EQ(pages.texts.size(), 3u);
    EXPECT_EQ(pages.texts[1].y, 743 + 133 + 200);
    // name line 100 + 10, its own gap in the name font 100 + 200, the TXT gap 100 + 200
    EXPECT_EQ(pages.texts[2].y, 1076 + 110 + 300 + 300);
    EXPECT_EQ(pages.texts[2].text, "BUS-PWM-II1");
}

TEST(BusListingTest, NewPageBeginsAtThreeHundredWhenSixHundredOrLessRemain) {
    TLogicComponentList list;
    list.Add(component("BUS-IN-VIII", "BUS-IN-VIII1", 19));
    RecordingPages pages(3000);
    PrintBusListing(list, pages);
    // Page 1: name at 743, variables from 853 in steps of 93 while 3000 - y > 600.
    std::vector<int> firstPage, secondPage;
    for (const auto& t : pages.texts) (t.page == 0 ? firstPage : secondPage).push_back(t.y);
    EXPECT_EQ(firstPage.back(), 853 + 16 * 93); // 2341; the next position 2434 leaves 566
    ASSERT_FALSE(secondPage.empty());
    EXPECT_EQ(secondPage.front(), 300);
    EXPECT_EQ(firstPage.size() + secondPage.size(), 21u);
    EXPECT_EQ(pages.pages(), 2);
}

TEST(BusListingTest, NoBlankPageWhenTheLastLineFillsAPage) {
    TLogicComponentList list;
    list.Add(component("BUS-IN-VIII", "BUS-IN-VIII1", 17)); // the 17th variable is the page's last line
    RecordingPages pages(3000);
    PrintBusListing(list, pages);
    EXPECT_EQ(pages.texts.back().y, 2341);
    EXPECT_EQ(pages.pages(), 1);
}

} // namespace
} // namespace v7300
