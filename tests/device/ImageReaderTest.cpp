#include "DeviceImageFixture.h"

#include "core/Error.h"
#include "device/ImageReader.h"
#include "device/LogicCompiler.h"

#include <gtest/gtest.h>

namespace v7300 {
namespace {

using test::DiagramBuilder;

TV7300_EEPROM_Data compiled(const TLogic& logic) {
    TV7300_EEPROM_Data image;
    CreateNETIOData(logic, image);
    return image;
}

void sample(DiagramBuilder& d) {
    d.add("TXT", "TXT1", 0, 0);
    d.add("IN", "IN1", 0, 1, {{"HID", "3"}, {"TYPE", "4", "INTYPE"}});
    d.add("NUM", "NUM1", 0, 1, {{"VALUE", "-300"}});
    d.add("TIMER", "TIMER1", 2, 1, {{"SEKUNDEN", "600"}});
    d.add("LCD", "LCD1", 2, 0, {{"VAL1", "Temperatur", "STR"}, {"VAL2", "", "STR"}, {"POS", "20"}, {"TYPE", "3"}});
    d.add("VALUE", "VALUE1", 3, 1, {{"MAX", "100"}, {"MIN", "-5"}, {"INC", "2"}});
    d.wire("IN1", 0, "TIMER1", 0);
    d.wire("NUM1", 0, "TIMER1", 1);
    d.wire("TIMER1", 0, "LCD1", 0);
    d.wire("NUM1", 0, "VALUE1", 0);
    d.wire("IN1", 0, "VALUE1", 1);
    d.wire("NUM1", 0, "VALUE1", 2);
    d.logic.ShownTexts[2].name = "Küche";
    d.entry(2, 6, "VALUE1", 0, "Soll");
}

TEST(ImageReader, ReadsBackWhatTheCompilerWrote) {
    DiagramBuilder d;
    sample(d);
    const TV7300_EEPROM_Data image = compiled(d.logic);
    const TDeviceImage r = ReadDeviceImage(image);

    EXPECT_EQ(r.Size, static_cast<std::size_t>(image.GetSize()));
    ASSERT_EQ(r.Objects.size(), 5u);
    EXPECT_EQ(r.Objects[0].Number, 1);
    EXPECT_EQ(r.Objects[0].TypeCode, kCodeIN);
    EXPECT_EQ(r.Objects[0].Params.Hid, 3);
    EXPECT_EQ(r.Objects[0].Params.InType, 1);
    EXPECT_EQ(r.Objects[1].Params.Value, -300);
    const TImageObject* timer = r.FindObject(3);
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->Params.Seconds, 600);
    EXPECT_EQ(timer->Inputs, (std::vector<TImageInputRef>{{1, 0}, {2, 0}}));
    EXPECT_EQ(r.Objects[3].Params.LcdLine1, "Temperatur      ");
    EXPECT_EQ(r.Objects[3].Params.LcdPos, 20);
    EXPECT_EQ(r.Objects[4].Params.Min, -5);
    EXPECT_EQ(r.Objects[4].Params.Max, 100);
    EXPECT_EQ(r.Objects[4].Params.Inc, 2);
    EXPECT_EQ(r.FindObject(6), nullptr);
    EXPECT_EQ(DeviceTypeFamily(r.Objects[3].TypeCode), "LCD");

    EXPECT_EQ(r.PageNames[2], "Küche");
    ASSERT_EQ(r.Entries.size(), 1u);
    EXPECT_EQ(r.Entries[0].Object, 5);
    EXPECT_EQ(r.Entries[0].Kind, 'A');
    EXPECT_EQ(r.Entries[0].Page, 2);
    EXPECT_EQ(r.Entries[0].Slot, 6);
    EXPECT_EQ(r.Entries[0].Text, "Soll");
}

TEST(ImageReader, DecodesEveryParameterLayout) {
    using test::bytes;
    EXPECT_EQ(DecodeImageParams(kCodeWEEKTIMER, bytes({65, 6, 30, 0, 22, 15, 5})).OffTime,
              (std::array<std::uint8_t, 3>{22, 15, 5}));
    EXPECT_EQ(DecodeImageParams(kCodeBOOL, bytes({0x80, 0x01})).BoolMask, 0x8001);
    EXPECT_EQ(DecodeImageParams(kCodeSCHWELLE, bytes({0x01, 0xF4, 0xFF, 0xFD})).ThresholdDown, -3);
    EXPECT_EQ(DecodeImageParams(kCodeASWITCH, bytes({0, 1, 0xFF, 0xFF, 1, 0, 0, 0})).Wert,
              (std::array<std::int32_t, 4>{1, -1, 256, 0}));
    EXPECT_EQ(DecodeImageParams(kCodeCOUNT, bytes({0x02, 0x01})).Count, 513);
    EXPECT_EQ(DecodeImageParams(kCodeBUSTEMP, bytes({9})).BusId, 9);
    // Missing bytes read as 0 instead of reading past the record.
    EXPECT_EQ(DecodeImageParams(kCodeNUM, bytes({0x7F})).Value, 0x7F00);
}

TEST(ImageReader, RefusesEveryTruncatedImage) {
    DiagramBuilder d;
    sample(d);
    const std::vector<std::uint8_t> full = compiled(d.logic).Bytes();
    for (std::size_t n = 0; n < full.size(); ++n)
        EXPECT_THROW(ReadDeviceImage(full.data(), n), Error) << "length " << n;
}

TEST(ImageReader, RefusesMalformedRecords) {
    DiagramBuilder d;
    d.add("AND", "AND1", 4, 1);
    d.entry(0, 0, "AND1", 0, "x");
    const std::vector<std::uint8_t> good = compiled(d.logic).Bytes();
    ASSERT_NO_THROW(ReadDeviceImage(good));

    auto badType = good;
    badType[50] = 99;
    EXPECT_THROW(ReadDeviceImage(badType), Error);

    auto badSlot = good;
    badSlot[49 + 4 + 1 + 48 + 3] = 0x68; // page 6 does not exist
    EXPECT_THROW(ReadDeviceImage(badSlot), Error);

    auto badEnd = good;
    badEnd.back() = 0x00;
    EXPECT_THROW(ReadDeviceImage(badEnd), Error);
}

} // namespace
} // namespace v7300
