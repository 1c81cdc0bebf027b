#include "model/BusListing.h"

#include <array>

namespace v7300 {
namespace {

constexpr int kTitleX = 300;
constexpr int kTitleY = 300;
constexpr int kNameX = 500;
constexpr int kVariableX = 700;
constexpr int kFirstLineGap = 610;
constexpr int kLineGap = 10;
constexpr int kComponentGap = 200;
constexpr int kBottomMargin = 600;
constexpr int kNewPageTop = 300;
constexpr std::uint32_t kInk = 0x000000;

// The position on the page and the font last used, as a printer canvas keeps it.
class ListingWriter {
public:
    explicit ListingWriter(TPrintPages& pages) : pages_(pages) {}

    void Heading() {
        font_ = TCanvasFont::PrintTitle;
        pages_.Page().TextOut(kTitleX, kTitleY, kBusListingHeading, font_, kInk);
        y_ = TextHeight(kBusListingHeading) + kFirstLineGap;
    }
    void Line(int x, const std::string& text, TCanvasFont font) {
        font_ = font;
        if (pendingPage_) {
            pages_.NewPage();
            pendingPage_ = false;
        }
        pages_.Page().TextOut(x, y_, text, font, kInk);
        Advance(TextHeight(text) + kLineGap);
    }
    void EndComponent() { Advance(TextHeight("X") + kComponentGap); }

private:
    int TextHeight(const std::string& text) { return pages_.Page().TextExtent(font_, text).Height; }
    // The next page is only begun when something is printed on it: no blank last page.
    void Advance(int step) {
        y_ += step;
        if (pages_.Page().Height() - y_ <= kBottomMargin) {
            y_ = kNewPageTop;
            pendingPage_ = true;
        }
    }

    TPrintPages& pages_;
    TCanvasFont font_ = TCanvasFont::PrintTitle;
    int y_ = 0;
    bool pendingPage_ = false;
};

} // namespace

bool IsBusType(std::string_view typeName) {
    static constexpr std::array<std::string_view, 8> kBusTypes = {
        "BUS-IN-II", "BUS-IN-VIII", "BUS-OUT-II", "BUS-OUT-IV", "BUS-OUT-VIII", "BUS-TEMP-II", "BUS-TEMP-IV",
        "BUS-PWM-II"};
    for (const auto t : kBusTypes)
        if (t == typeName) return true;
    return false;
}

void PrintBusListing(const TLogicComponentList& components, TPrintPages& pages) {
    ListingWriter out(pages);
    out.Heading();
    for (int i = 0; i < components.Count(); ++i) {
        const TLogicComponent& c = components.Items(i);
        if (IsBusType(c.TypeName)) {
            out.Line(kNameX, c.Name, TCanvasFont::PrintName);
            for (const auto& v : c.Variables) out.Line(kVariableX, v.Name() + ": " + v.GetValue(), TCanvasFont::PrintText);
        }
        out.EndComponent();
    }
}

} // namespace v7300
