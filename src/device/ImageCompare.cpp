#include "device/ImageCompare.h"

#include "core/Error.h"
#include "device/DeviceConfig.h"
#include "device/ImageReader.h"
#include "device/LogicCompiler.h"

#include <array>
#include <cstdio>
#include <optional>
#include <utility>

namespace v7300 {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

std::string hexBytes(const std::vector<std::uint8_t>& bytes) {
    std::string s;
    char buf[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(buf, sizeof buf, "%02X", b);
        s += buf;
    }
    return s.empty() ? "-" : s;
}

std::string sixDigits(const std::array<std::uint8_t, 3>& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02u%02u%02u", t[0], t[1], t[2]);
    return buf;
}

// The decoded parameters under the names of the component's variables.
Fields paramFields(const TImageObject& o) {
    const TImageParams& p = o.Params;
    const auto n = [](auto v) { return std::to_string(v); };
    Fields f;
    switch (o.TypeCode) {
    case kCodeOUT: f = {{"ID", n(p.OutId)}}; break;
    case kCodeNUM: f = {{"VALUE", n(p.Value)}}; break;
    case kCodeTIMER: f = {{"SEKUNDEN", n(p.Seconds)}}; break;
    case kCodeCOUNT: f = {{"COUNT", n(p.Count)}}; break;
    case kCodeWEEKTIMER: {
        static const char* const days[] = {"MO", "DI", "MI", "DO", "FR", "SA", "SO"};
        for (int d = 0; d < 7; ++d) f.push_back({days[d], (p.DayMask >> d) & 1 ? "1" : "0"});
        f.push_back({"TIME1", sixDigits(p.OnTime)});
        f.push_back({"TIME2", sixDigits(p.OffTime)});
        break;
    }
    case kCodeBOOL:
        for (int j = 0; j < 16; ++j) {
            char name[8];
            std::snprintf(name, sizeof name, "VAL%02d", j);
            f.push_back({name, (p.BoolMask >> j) & 1 ? "1" : "0"});
        }
        break;
    case kCodeIN: f = {{"HID", n(p.Hid)}, {"TYPE", n(p.InType)}}; break;
    case kCodeSCHWELLE: f = {{"SCHWELLEUP", n(p.ThresholdUp)}, {"SCHWELLEDOWN", n(p.ThresholdDown)}}; break;
    case kCodeLCD:
        f = {{"VAL1", quoted(p.LcdLine1)}, {"VAL2", quoted(p.LcdLine2)}, {"POS", n(p.LcdPos)}, {"TYPE", n(p.LcdType)}};
        break;
    case kCodeBUSOUT:
    case kCodeBUSIN:
    case kCodeBUSTEMP:
    case kCodeBUSPWM: f = {{"BUSID", n(p.BusId)}}; break;
    case kCodeCALC: f = {{"TYPE", n(p.CalcType)}}; break;
    case kCodeROLLO: f = {{"TIME", n(p.RolloTime)}}; break;
    case kCodeVALUE: f = {{"MAX", n(p.Max)}, {"MIN", n(p.Min)}, {"INC", n(p.Inc)}}; break;
    case kCodeASWITCH:
        for (std::size_t k = 0; k < 4; ++k) f.push_back({"WERT" + std::to_string(k + 1), n(p.Wert[k])});
        break;
    default: break;
    }
    return f;
}

class Comparer {
public:
    Comparer(const std::vector<TProjectObject>& objects, std::vector<std::string>& out)
        : objects_(objects), out_(out) {}

    void objects(const TDeviceImage& project, const TDeviceImage& device) {
        for (const auto& mine : project.Objects) {
            const TImageObject* theirs = device.FindObject(mine.Number);
            if (!theirs) {
                add(name(mine.Number), "fehlt im NET-IO");
                continue;
            }
            object(mine, *theirs);
        }
        for (const auto& theirs : device.Objects)
            if (!project.FindObject(theirs.Number))
                add("Objekt " + std::to_string(theirs.Number),
                    "nur im NET-IO (" + std::string(DeviceTypeFamily(theirs.TypeCode)) + ")");
    }

    void pages(const TDeviceImage& project, const TDeviceImage& device) {
        for (std::size_t p = 0; p < 6; ++p) {
            const std::string page = "Seite " + std::to_string(p + 1);
            if (project.PageNames[p] != device.PageNames[p])
                add(page, "Name: " + both(quoted(project.PageNames[p]), quoted(device.PageNames[p])));
            for (std::uint8_t slot = 0; slot < 8; ++slot) {
                const std::string a = entry(project, p, slot);
                const std::string b = entry(device, p, slot);
                if (a != b) add(page + ", Platz " + std::to_string(slot + 1), both(a, b));
            }
        }
    }

    void add(const std::string& subject, const std::string& what) { out_.push_back(subject + ": " + what); }
    static std::string both(const std::string& project, const std::string& device) {
        return "Projekt " + project + ", NET-IO " + device;
    }

private:
    std::string name(std::uint8_t number) const {
        if (number >= 1 && number <= objects_.size()) return objects_[number - 1u].Name;
        return "Objekt " + std::to_string(number);
    }
    std::string typeName(const TImageObject& o) const {
        if (o.Number >= 1 && o.Number <= objects_.size()) return objects_[o.Number - 1u].TypeName;
        return std::string(DeviceTypeFamily(o.TypeCode));
    }
    std::string reference(const std::vector<TImageInputRef>& refs, std::size_t i) const {
        if (i >= refs.size()) return "keine";
        return name(refs[i].Object) + " Ausgang " + std::to_string(refs[i].Output + 1);
    }

    void object(const TImageObject& mine, const TImageObject& theirs) {
        const std::string who = name(mine.Number);
        if (mine.TypeCode != theirs.TypeCode) {
            const std::string_view family = DeviceTypeFamily(theirs.TypeCode);
            add(who, "Objekttyp: " + both(typeName(mine), family.empty() ? std::to_string(theirs.TypeCode)
                                                                         : std::string(family)));
            return;
        }
        const Fields a = paramFields(mine);
        const Fields b = paramFields(theirs);
        for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
            if (a[i].second != b[i].second) add(who, a[i].first + ": " + both(a[i].second, b[i].second));
        if (a == b && mine.ParamBytes != theirs.ParamBytes)
            add(who, "Parameter: " + both(hexBytes(mine.ParamBytes), hexBytes(theirs.ParamBytes)));
        const std::size_t inputs = std::max(mine.Inputs.size(), theirs.Inputs.size());
        for (std::size_t i = 0; i < inputs; ++i) {
            const std::string x = reference(mine.Inputs, i);
            const std::string y = reference(theirs.Inputs, i);
            if (x != y) add(who, "Verbindung " + std::to_string(i + 1) + ": " + both(x, y));
        }
    }

    std::string entry(const TDeviceImage& image, std::size_t page, std::uint8_t slot) const {
        for (const auto& e : image.Entries)
            if (e.Page == page && e.Slot == slot)
                return name(e.Object) + " Wert " + std::to_string(e.ValueIndex) + " " + std::string(1, e.Kind) + " " +
                       quoted(e.Text);
        return "leer";
    }

    const std::vector<TProjectObject>& objects_;
    std::vector<std::string>& out_;
};

std::string crcText(std::uint8_t high, std::uint8_t low) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X%02X", high, low);
    return buf;
}

} // namespace

bool HoldsCompleteImage(const std::vector<std::uint8_t>& bytes) {
    try {
        ReadDeviceImage(bytes);
        return true;
    } catch (const Error&) {
        return false;
    }
}

TImageComparison CompareDeviceImage(const std::vector<TProjectObject>& objects, const TV7300_EEPROM_Data& projectImage,
                                    std::int32_t projectChecksum, const std::vector<std::uint8_t>& device) {
    TImageComparison result;
    Comparer compare(objects, result.Differences);
    const TDeviceImage mine = ReadDeviceImage(projectImage);
    std::optional<TDeviceImage> theirs;
    try {
        theirs = ReadDeviceImage(device);
    } catch (const Error& e) {
        compare.add("NET-IO", e.what());
    }
    if (theirs) {
        compare.objects(mine, *theirs);
        compare.pages(mine, *theirs);
    }
    if (device.size() >= 28) {
        const std::string a = crcText(CrcHighByte(projectChecksum), CrcLowByte(projectChecksum));
        const std::string b = crcText(device[26], device[27]);
        if (a != b) compare.add("Logik CRC", Comparer::both(a, b));
    }
    result.Configuration = DescribeConfigBlock(device);
    return result;
}

} // namespace v7300
