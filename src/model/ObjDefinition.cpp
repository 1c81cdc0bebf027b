#include "model/ObjDefinition.h"

#include "core/Error.h"
#include "core/FileIO.h"
#include "core/Md5.h"
#include "core/NumberFormat.h"
#include "core/StringUtil.h"
#include "core/TextCodec.h"
#include "model/LogicComponentLibrary.h"

namespace v7300 {
namespace {

enum class Key { None, Name, X, Y, In, Out, Show, Vars, VarNames, Clickable };

Key keyOf(std::string line) {
    for (char& c : line)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (line == "-NAME") return Key::Name;
    if (line == "-X") return Key::X;
    if (line == "-Y") return Key::Y;
    if (line == "-IN") return Key::In;
    if (line == "-OUT") return Key::Out;
    if (line == "-SHOW") return Key::Show;
    if (line == "-VARS") return Key::Vars;
    if (line == "-VARNAMES") return Key::VarNames;
    if (line == "-CLICKABLE") return Key::Clickable;
    return Key::None;
}

std::uint8_t byteOf(const std::string& line) { return static_cast<std::uint8_t>(toInt32(line)); }

// Upper case of a UTF-8 script line: ASCII and the Windows-1252 letters with an upper-case form.
std::string upperScript(const std::string& s) {
    std::string bytes = utf8ToCp1252(s);
    for (char& c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 'a' && b <= 'z')
            c = static_cast<char>(b - 32);
        else if ((b >= 0xE0 && b <= 0xFE && b != 0xF7))
            c = static_cast<char>(b - 32);
        else if (b == 0x9A || b == 0x9C || b == 0x9E)
            c = static_cast<char>(b - 16);
        else if (b == 0xFF)
            c = static_cast<char>(0x9F);
    }
    return cp1252ToUtf8(bytes);
}

} // namespace

std::string ComputeDefinitionChecksum(const std::vector<std::string>& linesAfterFirst) {
    std::string text;
    for (const auto& line : linesAfterFirst) {
        text += utf8ToCp1252(line);
        text += "\r\n";
    }
    return md5HexUpper(text);
}

void SplitChecksumLine(const std::string& line, std::string& label, std::string& checksum) {
    std::string s = line;
    if (auto p = s.find('}'); p != std::string::npos) s.erase(p, 1);
    if (auto p = s.find('{'); p != std::string::npos) s.erase(p, 1);
    const auto dash = s.find('-');
    if (dash == std::string::npos) {
        label.clear();
        checksum = s.substr(0, 200);
    } else {
        label = s.substr(0, dash);
        checksum = s.substr(dash + 1, 200);
    }
}

void WriteSignedDefinition(const std::string& path, const std::string& label,
                           const std::vector<std::string>& linesAfterFirst) {
    std::string text = utf8ToCp1252("{" + label + "-" + ComputeDefinitionChecksum(linesAfterFirst) + "}") + "\r\n";
    for (const auto& line : linesAfterFirst) text += utf8ToCp1252(line) + "\r\n";
    writeFileAtomic(path, text);
}

bool VerifyAndStripChecksum(std::vector<std::string>& lines, const std::string& typeName,
                            const TLogicComponentLibrary& library, MessagePort& messages) {
    if (lines.empty()) return false;
    std::string label;
    std::string stored;
    SplitChecksumLine(lines.front(), label, stored);
    lines.erase(lines.begin());
    const std::string computed = ComputeDefinitionChecksum(lines);
    if (stored == computed) return true;
    messages.showError("Dieses Objekt wurde geändert!\r\nDies führt zu Fehlern!\r\nDie Simulation und die Logik "
                       "im Atmel werden nicht mehr richtig zusammenarbeiten!");
    if (const auto* item = library.FindItem(typeName)) {
        try {
            WriteSignedDefinition(item->FileName, label, lines);
        } catch (const Error&) {
            // A library folder that cannot be written leaves the file as it is;
            // the box above already told the user the definition was changed.
        }
    }
    return false;
}

TShowEntry MakeShowEntry(const std::string& line, const std::string& instanceName) {
    std::string s = line;
    if (auto p = s.find("$NAME"); p != std::string::npos) s.replace(p, 5, instanceName);
    const auto blank = s.find(' ');
    if (blank == std::string::npos) return {"", trimBlanks(s)};
    return {cp1252Left(s.substr(0, blank), 20), trimBlanks(cp1252Left(s.substr(blank + 1), 9))};
}

TVarDeclaration SplitVarLine(const std::string& line) {
    const std::vector<std::string> parts = splitAtBlanks(line);
    TVarDeclaration d;
    d.Keyword = parts[0];
    if (parts.size() > 1) d.Name = parts[1];
    for (std::size_t i = 2; i < parts.size(); ++i) d.Default += parts[i] + " ";
    return d;
}

TObjDefinition ParseDefinitionBody(std::vector<std::string> lines, const std::string& typeName) {
    TObjDefinition def;
    Key key = Key::None;
    std::size_t i = 0;
    while (i < lines.size() && lines[i] != "---") {
        if (!lines[i].empty() && lines[i][0] == '-') {
            key = keyOf(lines[i]);
            ++i;
            if (i >= lines.size()) break;
        }
        const std::string& value = lines[i];
        switch (key) {
        case Key::Name: def.NamePrefix = value; break;
        case Key::X: def.Width = byteOf(value); break;
        case Key::Y: def.Height = byteOf(value); break;
        case Key::In: def.InputCount = byteOf(value); break;
        case Key::Out: def.OutputCount = byteOf(value); break;
        case Key::Show: def.ShowLines.push_back(value); break;
        case Key::Vars: def.VarLines.push_back(value); break;
        case Key::VarNames: def.VarNames.push_back(value); break;
        case Key::Clickable:
        case Key::None: break;
        }
        ++i;
    }
    if (i < lines.size()) ++i; // the separator
    for (; i < lines.size(); ++i) def.ScriptLines.push_back(trimBlanks(upperScript(lines[i])));

    const std::string defect = "Die Definition des Bausteins " + typeName + " ist fehlerhaft: ";
    if (def.InputCount > 11) throw Error(defect + "mehr als 11 Eingänge (-IN).");
    if (def.OutputCount > 11) throw Error(defect + "mehr als 11 Ausgänge (-OUT).");
    for (const auto& v : def.VarLines)
        if (SplitVarLine(v).Name.empty()) throw Error(defect + "Variable ohne Namen (-VARS \"" + v + "\").");
    return def;
}

} // namespace v7300
