#include "core/FileIO.h"
#include "core/NumberFormat.h"
#include "model/LibraryCheck.h"
#include "model/ObjDefinition.h"
#include "model/TypeCatalogue.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>

namespace v7300 {
namespace {

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The definition keywords that fit a kind of catalogue variable.
std::set<std::string> keywordsFor(VarKind kind) {
    switch (kind) {
    case VarKind::Number:
    case VarKind::Time:
    case VarKind::Colour:
        return {"INT"};
    case VarKind::Flag:
        return {"BOOL", "INT"};
    case VarKind::Text:
        return {"STR", "VARIANT", "LCD", "BOOLS", "EXEC", "MAIL"};
    case VarKind::InType:
        return {"INTYPE"};
    case VarKind::Cal:
        return {"CAL"};
    }
    return {};
}

std::string kindName(VarKind kind) {
    switch (kind) {
    case VarKind::Number: return "Zahl (INT)";
    case VarKind::Flag: return "Schalter (BOOL oder INT)";
    case VarKind::Text: return "Text";
    case VarKind::Time: return "Uhrzeit HHMMSS (INT)";
    case VarKind::InType: return "Eingangsart (INTYPE)";
    case VarKind::Cal: return "Rechenart (CAL)";
    case VarKind::Colour: return "Farbe (INT)";
    }
    return "?";
}

// Problems of a default value for its kind; empty when it fits.
std::string checkDefault(VarKind kind, const std::string& value) {
    const std::string v = trimBlanks(value);
    const auto n = parseInt32(v);
    switch (kind) {
    case VarKind::Number:
        if (!n || *n < -32768 || *n > 32767) return "Vorgabe \"" + v + "\" liegt nicht in -32768 bis 32767";
        break;
    case VarKind::Flag:
        if (v != "0" && v != "1") return "Vorgabe \"" + v + "\" ist nicht 0 oder 1";
        break;
    case VarKind::Time:
        if (v.size() != 6 || !n || *n / 10000 > 23 || *n / 100 % 100 > 59 || *n % 100 > 59)
            return "Vorgabe \"" + v + "\" ist keine Uhrzeit HHMMSS";
        break;
    case VarKind::Colour:
        if (!n || *n < 0 || *n > 0xFFFFFF) return "Vorgabe \"" + v + "\" ist keine 24-Bit-Farbe";
        break;
    case VarKind::InType:
        if (!n || (*n < 0 || (*n > 4 && *n != 10))) return "Vorgabe \"" + v + "\" ist keine Eingangsart";
        break;
    case VarKind::Cal:
        if (!n || *n < 0 || *n > 3) return "Vorgabe \"" + v + "\" ist keine Rechenart 0 bis 3";
        break;
    case VarKind::Text:
        break;
    }
    return {};
}

// Width and height of a BMP file, or false when it is none.
bool bmpSize(const std::string& path, int& width, int& height) {
    std::ifstream in(path, std::ios::binary);
    unsigned char h[26] = {};
    if (!in.read(reinterpret_cast<char*>(h), sizeof h) || h[0] != 'B' || h[1] != 'M') return false;
    auto le32 = [&](int o) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(h[o]) | static_cast<std::uint32_t>(h[o + 1]) << 8 |
                                         static_cast<std::uint32_t>(h[o + 2]) << 16 |
                                         static_cast<std::uint32_t>(h[o + 3]) << 24);
    };
    width = le32(18);
    height = std::abs(le32(22));
    return true;
}

// Why a picture that gave no image is not there: missing, or there but not readable.
std::string absence(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec) ? "kann nicht gelesen werden" : "fehlt";
}

void checkPicture(const TLogicComponentLibrary& library, const TCatalogueEntry& entry, const TObjDefinition& def,
                  const std::string& image, const std::string& folder, const std::string& where,
                  std::vector<std::string>& problems) {
    const Image* picture = library.GetImage(entry.typeName, image);
    if (!picture) {
        problems.push_back(where + "Bild " + image + ".png " + absence(folder + "/" + image + ".png"));
        return;
    }
    if (picture->width != def.Width * 10 || picture->height != def.Height * 10)
        problems.push_back(where + "Bild " + image + ".png ist " + std::to_string(picture->width) + "x" +
                           std::to_string(picture->height) + " statt " + std::to_string(def.Width * 10) + "x" +
                           std::to_string(def.Height * 10) + " Pixel");
}

void checkEntry(const TLogicComponentLibrary& library, const TCatalogueEntry& entry,
                const TLogicComponentLibaryItem& item, std::vector<std::string>& problems) {
    const std::string where = item.Name + " " + item.FileName + ": ";
    if (item.Lines.empty()) return; // reported by the definition check
    TObjDefinition def;
    try {
        def = ParseDefinitionBody(std::vector<std::string>(item.Lines.begin() + 1, item.Lines.end()), item.Name);
    } catch (const std::exception&) {
        return; // reported by the definition check
    }
    if (def.NamePrefix != entry.typeName)
        problems.push_back(where + "-NAME ist \"" + def.NamePrefix + "\" statt \"" + entry.typeName + "\"");
    if (def.InputCount != entry.inputs)
        problems.push_back(where + "-IN ist " + std::to_string(def.InputCount) + " statt " +
                           std::to_string(entry.inputs));
    if (def.OutputCount != entry.outputs)
        problems.push_back(where + "-OUT ist " + std::to_string(def.OutputCount) + " statt " +
                           std::to_string(entry.outputs));
    const int pins = std::max<int>(def.InputCount, def.OutputCount);
    if (entry.drawing != SpecialDrawing::Txt && def.Height < pins + 1)
        problems.push_back(where + "-Y " + std::to_string(def.Height) + " ist zu klein für " + std::to_string(pins) +
                           " Anschlüsse");

    std::vector<TVarDeclaration> declared;
    for (const auto& line : def.VarLines) declared.push_back(SplitVarLine(line));
    for (const auto& var : entry.variables) {
        const auto it = std::find_if(declared.begin(), declared.end(),
                                     [&](const TVarDeclaration& d) { return d.Name == var.name; });
        if (it == declared.end()) {
            problems.push_back(where + "Variable " + var.name + " fehlt");
            continue;
        }
        const std::string keyword = upper(it->Keyword);
        if (!keywordsFor(var.kind).count(keyword)) {
            problems.push_back(where + "Variable " + var.name + " ist " + keyword + ", erwartet " +
                               kindName(var.kind));
            continue;
        }
        const std::string bad = checkDefault(var.kind, it->Default);
        if (!bad.empty()) problems.push_back(where + "Variable " + var.name + ": " + bad);
    }
    if (entry.drawing == SpecialDrawing::In && (declared.size() < 3 || declared[2].Name != "HID"))
        problems.push_back(where + "HID muss die dritte Variable sein");

    if (entry.drawing == SpecialDrawing::Txt) return; // drawn as its text
    const std::string folder = std::filesystem::path(item.FileName).parent_path().string();
    checkPicture(library, entry, def, entry.typeName, folder, where, problems);
    if (entry.drawing == SpecialDrawing::In) {
        for (const char* kind : {"0", "1", "2", "3", "4", "10"}) {
            checkPicture(library, entry, def, std::string("IN") + kind, folder, where, problems);
            checkPicture(library, entry, def, std::string("IN") + kind + "_", folder, where, problems);
        }
        for (const char* option : {"0", "1", "2", "3", "4", "10", "11"}) {
            const std::string file = std::string("Option") + option + ".bmp";
            int w = 0;
            int h = 0;
            if (!bmpSize(folder + "/" + file, w, h))
                problems.push_back(where + "Bild " + file + " " + absence(folder + "/" + file));
            else if (w != 350 || h != 350)
                problems.push_back(where + "Bild " + file + " ist " + std::to_string(w) + "x" + std::to_string(h) +
                                   " statt 350x350 Pixel");
        }
    }
}

} // namespace

std::vector<std::string> CheckCatalogue(const TLogicComponentLibrary& library) {
    std::vector<std::string> problems;
    for (const auto& entry : TypeCatalogue()) {
        std::vector<const TLogicComponentLibaryItem*> items;
        for (int i = 0; i < library.Count(); ++i)
            if (library.Items(i).Name == entry.typeName) items.push_back(&library.Items(i));
        if (items.empty()) {
            problems.push_back(std::string(entry.typeName) + ": Typ fehlt in der Bibliothek");
            continue;
        }
        if (items.size() > 1) {
            std::string files;
            for (const auto* item : items) files += " " + item->FileName;
            problems.push_back(std::string(entry.typeName) + ": Typ ist " + std::to_string(items.size()) +
                               "-mal vorhanden:" + files);
        }
        checkEntry(library, entry, *items.front(), problems);
    }
    return problems;
}

std::vector<std::string> CheckLibrary(const TLogicComponentLibrary& library) {
    std::vector<std::string> problems = CheckDefinitions(library);
    const std::vector<std::string> catalogue = CheckCatalogue(library);
    problems.insert(problems.end(), catalogue.begin(), catalogue.end());
    return problems;
}

} // namespace v7300
