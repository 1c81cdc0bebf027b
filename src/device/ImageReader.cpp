#include "device/ImageReader.h"

#include "core/Error.h"
#include "core/TextCodec.h"
#include "device/LogicCompiler.h"

namespace v7300 {
namespace {

[[noreturn]] void malformed(const std::string& what, std::size_t position) {
    throw Error("Das Geräteabbild ist fehlerhaft (" + what + " bei Byte " + std::to_string(position) + ")");
}

std::int32_t signedWord(std::uint8_t high, std::uint8_t low) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((high << 8) | low));
}

// A fixed-width text field: Windows-1252 bytes up to the first 0x00.
std::string fieldText(const std::uint8_t* p, std::size_t n) {
    std::string bytes;
    for (std::size_t i = 0; i < n && p[i] != 0; ++i) bytes.push_back(static_cast<char>(p[i]));
    return cp1252ToUtf8(bytes);
}

class Cursor {
public:
    Cursor(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t pos() const { return pos_; }
    bool has(std::size_t n) const { return n <= size_ - pos_; }
    std::uint8_t peek(const char* what) const {
        if (!has(1)) malformed(what, pos_);
        return data_[pos_];
    }
    std::uint8_t byte(const char* what) {
        const std::uint8_t b = peek(what);
        ++pos_;
        return b;
    }
    const std::uint8_t* take(std::size_t n, const char* what) {
        if (!has(n)) malformed(what, pos_);
        const std::uint8_t* p = data_ + pos_;
        pos_ += n;
        return p;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace

const TImageObject* TDeviceImage::FindObject(std::uint8_t number) const {
    for (const auto& o : Objects)
        if (o.Number == number) return &o;
    return nullptr;
}

TImageParams DecodeImageParams(std::uint8_t typeCode, const std::vector<std::uint8_t>& bytes) {
    const auto b = [&](std::size_t i) -> std::uint8_t { return i < bytes.size() ? bytes[i] : 0; };
    const auto sw = [&](std::size_t i) { return signedWord(b(i), b(i + 1)); };
    const auto uw = [&](std::size_t i) { return static_cast<std::int32_t>(b(i) * 256 + b(i + 1)); };
    TImageParams p;
    switch (typeCode) {
    case kCodeOUT: p.OutId = b(0); break;
    case kCodeNUM: p.Value = sw(0); break;
    case kCodeTIMER: p.Seconds = uw(0); break;
    case kCodeCOUNT: p.Count = uw(0); break;
    case kCodeWEEKTIMER:
        p.DayMask = b(0);
        p.OnTime = {b(1), b(2), b(3)};
        p.OffTime = {b(4), b(5), b(6)};
        break;
    case kCodeBOOL: p.BoolMask = static_cast<std::uint16_t>(uw(0)); break;
    case kCodeIN:
        p.Hid = b(0);
        p.InType = b(1);
        break;
    case kCodeSCHWELLE:
        p.ThresholdUp = sw(0);
        p.ThresholdDown = sw(2);
        break;
    case kCodeLCD: {
        std::string l1, l2;
        for (std::size_t i = 0; i < 16; ++i) {
            l1.push_back(static_cast<char>(b(i)));
            l2.push_back(static_cast<char>(b(16 + i)));
        }
        p.LcdLine1 = cp1252ToUtf8(l1);
        p.LcdLine2 = cp1252ToUtf8(l2);
        p.LcdPos = b(32);
        p.LcdType = b(33);
        break;
    }
    case kCodeBUSOUT:
    case kCodeBUSIN:
    case kCodeBUSTEMP:
    case kCodeBUSPWM: p.BusId = b(0); break;
    case kCodeCALC: p.CalcType = b(0); break;
    case kCodeROLLO: p.RolloTime = b(0); break;
    case kCodeVALUE:
        p.Max = sw(0);
        p.Min = sw(2);
        p.Inc = sw(4);
        break;
    case kCodeASWITCH:
        for (std::size_t k = 0; k < 4; ++k) p.Wert[k] = sw(2 * k);
        break;
    default: break;
    }
    return p;
}

TDeviceImage ReadDeviceImage(const std::uint8_t* data, std::size_t size) {
    TDeviceImage image;
    Cursor in(data, size);
    const std::uint8_t* config = in.take(image.Config.size(), "Konfigurationsblock zu kurz");
    std::copy(config, config + image.Config.size(), image.Config.begin());

    while (in.peek("Abschluss der Bausteine fehlt") != 0xFF) {
        TImageObject o;
        o.Offset = in.pos();
        o.Number = in.byte("Baustein");
        o.TypeCode = in.byte("Typ");
        if (DeviceTypeFamily(o.TypeCode).empty()) malformed("unbekannter Typ " + std::to_string(o.TypeCode), o.Offset + 1);
        const std::uint8_t n = in.byte("Eingänge");
        const std::uint8_t* refs = in.take(2u * n, "Eingangsverweise");
        for (std::size_t k = 0; k < n; ++k) o.Inputs.push_back({refs[2 * k], refs[2 * k + 1]});
        const std::uint8_t length = in.byte("Parameterlänge");
        const std::uint8_t* params = in.take(length, "Parameter");
        o.ParamBytes.assign(params, params + length);
        o.Params = DecodeImageParams(o.TypeCode, o.ParamBytes);
        image.Objects.push_back(std::move(o));
    }
    in.byte("Abschluss");

    for (auto& name : image.PageNames) name = fieldText(in.take(kPageNameSize, "Seitenname"), kPageNameSize);

    while (in.peek("Endmarke fehlt") != 0xFF) {
        const std::size_t at = in.pos();
        const std::uint8_t* r = in.take(kDisplayEntrySize, "Anzeigeeintrag");
        TImageDisplayEntry e;
        e.Object = r[0];
        e.ValueIndex = r[1];
        e.Kind = static_cast<char>(r[2]);
        e.Page = static_cast<std::uint8_t>(r[3] >> 4);
        e.Slot = static_cast<std::uint8_t>(r[3] & 0x0F);
        if (e.Page > 5 || e.Slot > 7) malformed("Anzeigeplatz", at + 3);
        e.Text = fieldText(r + 4, kPageNameSize);
        image.Entries.push_back(std::move(e));
    }
    in.byte("Endmarke");
    if (in.byte("Endmarke fehlt") != 0xFF) malformed("Endmarke", in.pos() - 1);
    image.Size = in.pos();
    return image;
}

TDeviceImage ReadDeviceImage(const std::vector<std::uint8_t>& bytes) {
    return ReadDeviceImage(bytes.data(), bytes.size());
}

TDeviceImage ReadDeviceImage(const TV7300_EEPROM_Data& image) { return ReadDeviceImage(image.Bytes()); }

std::string_view DeviceTypeFamily(std::uint8_t typeCode) {
    switch (typeCode) {
    case kCodeNUM: return "NUM";
    case kCodeAND: return "AND";
    case kCodeNAND: return "NAND";
    case kCodeOR: return "OR";
    case kCodeNOR: return "NOR";
    case kCodeXOR: return "XOR";
    case kCodeBI: return "BI";
    case kCodeTIMER: return "TIMER";
    case kCodeCOUNT: return "COUNT";
    case kCodeTAKT: return "TAKT";
    case kCodeINV: return "INV";
    case kCodeFF: return "FF";
    case kCodeOUT: return "OUT";
    case kCodeWEEKTIMER: return "WEEKTIMER";
    case kCodeBOOL: return "BOOL";
    case kCodeIN: return "IN";
    case kCodeSCHWELLE: return "SCHWELLE";
    case kCodeLCD: return "LCD";
    case kCodeBUSOUT: return "BUS-OUT";
    case kCodeBUSIN: return "BUS-IN";
    case kCodeBUSTEMP: return "BUS-TEMP";
    case kCodeBUSPWM: return "BUS-PWM";
    case kCodeCALC: return "CALC";
    case kCodeROLLO: return "ROLLO";
    case kCodeVALUE: return "VALUE";
    case kCodeRELAY: return "RELAY";
    case kCodeASWITCH: return "ASWITCH";
    default: return {};
    }
}

} // namespace v7300
