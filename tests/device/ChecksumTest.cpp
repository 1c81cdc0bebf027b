#include "DeviceImageFixture.h"

#include "device/UnitV7300EEPROMData.h"

#include <gtest/gtest.h>

namespace v7300 {
namespace {

using test::DiagramBuilder;

// The byte sum of a text given as Windows-1252 bytes.
std::int32_t sumOf(const std::string& cp1252) {
    std::int32_t s = 0;
    for (char c : cp1252) s += static_cast<unsigned char>(c);
    return s;
}

void sample(DiagramBuilder& d) {
    d.add("NUM", "NUM1", 0, 1, {{"VALUE", "12 "}});
    d.add("TXT", "TXT1", 0, 0, {{"TEXT", "Tür", "STR"}});
    d.add("INV", "INV1", 1, 1);
    d.wire("NUM1", 0, "INV1", 0);
    d.logic.DeviceAddress = "10.0.0.5";
    d.logic.ShownTexts[0].name = "P1";
    d.entry(0, 2, "INV1", 0, "Aus");
    d.logic.ShownTexts[3].name = "Q";
}

TEST(Checksum, EmptyDiagramIsZero) {
    DiagramBuilder d;
    EXPECT_EQ(GetCrc(d.logic), 0);
}

TEST(Checksum, SumsTheCanonicalTextInWindows1252) {
    DiagramBuilder d;
    sample(d);
    // Components with their variables (name, type keyword, trimmed value), wires,
    // address, then page names with their entries' component and text.
    const std::string text = "NUM1NUM" "VALUEINT12"
                             "TXT1TXT" "TEXTSTRINGT\xFCr"
                             "INV1INV"
                             "NUM10INV10"
                             "10.0.0.5"
                             "P1INV1Aus"
                             "Q";
    EXPECT_EQ(GetCrc(d.logic), sumOf(text));
}

TEST(Checksum, FollowsContentButNotPositionsOrEntryOutputs) {
    DiagramBuilder base;
    sample(base);
    const std::int32_t crc = GetCrc(base.logic);

    const std::vector<std::pair<const char*, void (*)(TLogic&)>> changes = {
        {"value", [](TLogic& l) { l.Components.Items(0).Variables.Items(0).SetValue("13"); }},
        {"wire input", [](TLogic& l) { l.Wires.Items(0).InputID = 1; }},
        {"page name", [](TLogic& l) { l.ShownTexts[3].name = "R"; }},
        {"entry text", [](TLogic& l) { l.ShownTexts[0].slots[2]->text = "Ein"; }},
        {"address", [](TLogic& l) { l.DeviceAddress = "10.0.0.6"; }},
    };
    for (const auto& [what, change] : changes) {
        DiagramBuilder d;
        sample(d);
        change(d.logic);
        EXPECT_NE(GetCrc(d.logic), crc) << what;
    }
    const std::vector<std::pair<const char*, void (*)(TLogic&)>> neutral = {
        {"entry output", [](TLogic& l) { l.ShownTexts[0].slots[2]->output = 5; }},
        {"position", [](TLogic& l) { l.verschieben(0, 4, 7); }},
        {"bend points", [](TLogic& l) { l.Wires.Items(0).InsertPoint(-1, 30, 40); }},
    };
    for (const auto& [what, change] : neutral) {
        DiagramBuilder d;
        sample(d);
        change(d.logic);
        EXPECT_EQ(GetCrc(d.logic), crc) << what;
    }
}

TEST(Checksum, DeviceKeepsBits8To15ThenBits0To7) {
    EXPECT_EQ(CrcHighByte(74565), 0x23);
    EXPECT_EQ(CrcLowByte(74565), 0x45);
    EXPECT_EQ(CrcDeviceWord(74565), 0x2345);
    EXPECT_EQ(CrcDeviceWord(-1), 0xFFFF);
}

} // namespace
} // namespace v7300
