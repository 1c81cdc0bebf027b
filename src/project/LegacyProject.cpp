#include "project/LegacyProject.h"

#include "core/Error.h"
#include "core/FileIO.h"
#include "core/NumberFormat.h"
#include "core/StringUtil.h"
#include "core/TextCodec.h"
#include "project/XmlProject.h"

#include <cstdlib>
#include <vector>

namespace v7300 {
namespace {

enum class Section { Components, Variables, Wires, Options, Ignored };

constexpr std::size_t kMaxPointText = 500;
constexpr std::size_t kMaxOptionValue = 200;

// Columns count from 1 and are Windows-1252 bytes; the field comes back as UTF-8.
std::string columns(const std::string& line, std::size_t first, std::size_t count) {
    if (first - 1 >= line.size()) return {};
    return cp1252ToUtf8(line.substr(first - 1, count));
}

std::string field(const std::string& line, std::size_t first, std::size_t count) {
    return trimBlanks(columns(line, first, count));
}

std::int32_t integer(const std::string& s) { return toInt32(trimBlanks(s)); }

bool isSkippedName(const std::string& name) {
    const std::string head = trimBlanks(name.substr(0, 4));
    for (int n = 1; n <= 8; ++n)
        if (head == "IN" + std::to_string(n) || head == "OUT" + std::to_string(n)) return true;
    return false;
}

std::string typeOfName(const std::string& name) {
    const auto digit = name.find_first_of("0123456789");
    return digit == std::string::npos ? name : name.substr(0, digit);
}

std::vector<std::string> splitAtBlanks(const std::string& s) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const auto pos = s.find(' ', start);
        if (pos == std::string::npos) {
            parts.push_back(s.substr(start));
            return parts;
        }
        parts.push_back(s.substr(start, pos - start));
        start = pos + 1;
    }
}

class Reader {
public:
    explicit Reader(TLogic& logic) : logic_(logic) {}

    void component(const std::string& line) {
        const std::string name = field(line, 1, 10);
        if (isSkippedName(name)) return;
        const std::int32_t left = integer(columns(line, 12, 4));
        const std::int32_t top = integer(columns(line, 17, 4));
        logic_.Add_objekt(typeOfName(name), name, left, top);
        // Like the XML reader: a name used twice stops the reading.
        (void)logic_.get_objekt_id(name, false);
    }

    void variable(const std::string& line) {
        const std::string name = field(line, 1, 10);
        const std::int32_t index = logic_.get_objekt_id(name, false);
        if (index != lastIndex_) counter_ = 0;
        lastIndex_ = index;
        if (index < 0) throw Error("Der Baustein " + name + " ist nicht vorhanden");
        const auto parts = splitAtBlanks(trimBlanks(cp1252ToUtf8(line)));
        std::string value;
        for (std::size_t i = 3; i < parts.size(); ++i) value += parts[i] + " ";
        TLogicComponentDefineList& vars = logic_.Components.Items(index).Variables;
        if (counter_ >= vars.Count())
            throw Error("Der Baustein " + name + " hat nur " + std::to_string(vars.Count()) + " Variablen");
        // A value the type refuses is dropped; a BOOL that is no truth value raises.
        (void)vars.Items(counter_).SetValue(value);
        ++counter_;
    }

    void wire(const std::string& line) {
        const std::string output = field(line, 1, 10);
        const std::int32_t outputID = integer(columns(line, 12, 1));
        const std::string input = field(line, 14, 10);
        const std::int32_t inputID = integer(columns(line, 25, 1));
        TWire& w = logic_.Wires.AddWire(output, outputID, inputID, input);
        std::string points = line.size() >= 27 ? line.substr(26, kMaxPointText) : std::string();
        while (!points.empty()) {
            const auto semicolon = points.find(';');
            const auto bar = points.find('|');
            if (semicolon == std::string::npos || bar == std::string::npos || bar < semicolon)
                throw Error("'" + quotedInput(cp1252ToUtf8(points)) + "' ist kein gültiger Punkt");
            const std::int32_t x = integer(points.substr(0, semicolon));
            const std::int32_t y = integer(points.substr(semicolon + 1, bar - semicolon - 1));
            // (Component positions have four columns and cannot leave the bound.)
            if (std::llabs(std::int64_t{x}) > kMaxPixelCoordinate || std::llabs(std::int64_t{y}) > kMaxPixelCoordinate)
                throw Error(kXmlFormatMessage);
            w.InsertPoint(-1, x, y);
            points.erase(0, bar + 1);
        }
    }

    void option(const std::string& rawLine) {
        const std::string line = cp1252ToUtf8(rawLine);
        const auto eq = line.find('=');
        if (eq == std::string::npos) return;
        const std::string key = line.substr(0, eq);
        const std::string value = cp1252Left(line.substr(eq + 1), kMaxOptionValue);
        if (key == "QUARZ") logic_.Quarz = integer(value);
        else if (key == "NETIO.Activ") logic_.NetioActive = value == "TRUE";
        else if (key == "NETIO.Host") logic_.NetioHost = value;
        else if (key == "NETIO.Port") logic_.NetioPort = integer(value);
        else if (key == "NETIO.Delay") logic_.NetioDelay = integer(value);
        else if (key == "NETIO.Display") logic_.NetioDisplay = value == "TRUE";
        else if (key == "LPT.Activ") logic_.LptActive = value == "TRUE";
        else if (key == "LPT.Address") logic_.LptAddress = integer(value);
        else if (key == "V7300NETIO.IP") logic_.DeviceAddress = value;
    }

private:
    TLogic& logic_;
    std::int32_t lastIndex_ = -1;
    int counter_ = 0;
};

// Hands out the lines of a text one after another (CR LF, LF or CR end a line; a
// final line end starts no further line), so that a file of many short lines
// does not become a list of many strings before its first bad line stops the reading.
class LineCursor {
public:
    explicit LineCursor(const std::string& text) : text_(text) {}
    bool next(std::string& line) {
        if (pos_ >= text_.size()) return false;
        const auto end = text_.find_first_of("\r\n", pos_);
        if (end == std::string::npos) {
            line.assign(text_, pos_, std::string::npos);
            pos_ = text_.size();
            return true;
        }
        line.assign(text_, pos_, end - pos_);
        pos_ = end + 1;
        if (text_[end] == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
        return true;
    }

private:
    const std::string& text_;
    std::size_t pos_ = 0;
};

} // namespace

void OpenLegacyBytes(TLogic& logic, const std::string& fileBytes) {
    if (fileBytes.size() > kMaxProjectFileBytes) throw Error(kXmlFormatMessage);
    LineCursor lines(fileBytes);
    std::string line;
    // Line 1 is ignored, line 2 is the module number; nothing changes when it is no integer.
    lines.next(line);
    const std::int32_t moduleNumber = integer(lines.next(line) ? line : std::string());
    logic.ModuleNumber = moduleNumber;
    logic.Init();

    Reader reader(logic);
    Section section = Section::Components;
    while (lines.next(line)) {
        const std::string head = trimBlanks(line.substr(0, 10));
        if (head.rfind("---#", 0) == 0) {
            section = Section::Variables;
            continue;
        }
        if (head.rfind("---|", 0) == 0) {
            section = Section::Wires;
            continue;
        }
        if (head.rfind("---O", 0) == 0) {
            section = Section::Options;
            continue;
        }
        if (head.rfind("---W", 0) == 0) {
            section = Section::Ignored;
            continue;
        }
        switch (section) {
        case Section::Components: reader.component(line); break;
        case Section::Variables: reader.variable(line); break;
        case Section::Wires: reader.wire(line); break;
        case Section::Options: reader.option(line); break;
        case Section::Ignored: break;
        }
    }
    logic.Redraw();
}

void Open(TLogic& logic, const std::string& fileName) {
    const std::optional<std::string> bytes = readFileBytesAtMost(fileName, kMaxProjectFileBytes);
    if (!bytes) throw Error(kXmlFormatMessage);
    OpenLegacyBytes(logic, *bytes);
}

bool OpenLegacy(TLogic& logic, const std::string& fileName) {
    try {
        Open(logic, fileName);
        return true;
    } catch (const std::exception& e) {
        logic.Messages.showError(userMessage(e));
        return false;
    }
}

} // namespace v7300
