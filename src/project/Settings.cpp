#include "project/Settings.h"

#include "core/Error.h"
#include "core/FileIO.h"
#include "core/NumberFormat.h"
#include "core/TextCodec.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace v7300 {
namespace {

constexpr std::size_t kMaxTextValue = 2047;

bool equalsIgnoreCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (std::tolower(x) != std::tolower(y)) return false;
    }
    return true;
}

// "[name]" -> name; nothing for other lines.
std::optional<std::string> sectionName(const std::string& line) {
    const std::string t = trimBlanks(line);
    if (t.size() < 2 || t.front() != '[') return std::nullopt;
    const auto close = t.find(']');
    if (close == std::string::npos) return std::nullopt;
    return trimBlanks(t.substr(1, close - 1));
}

// "key=value" -> key; nothing for lines without "=".
std::optional<std::string> keyOf(const std::string& line) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) return std::nullopt;
    return trimBlanks(line.substr(0, eq));
}

std::vector<std::string> readLines(const std::string& fileName) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fileName, ec)) return {};
    try {
        return splitLines(cp1252ToUtf8(readFileBytes(fileName)));
    } catch (const Error&) {
        return {};
    }
}

bool writableFolder(const std::string& dir) { return !dir.empty() && ::access(dir.c_str(), W_OK) == 0; }

} // namespace

std::optional<std::int32_t> ParseIniInteger(const std::string& raw) {
    const std::string value = trimBlanks(raw);
    if (value.size() >= 3 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
        const std::string digits = value.substr(2);
        if (digits.size() > 8) return std::nullopt;
        std::uint32_t n = 0;
        for (const char c : digits) {
            int d = -1;
            if (c >= '0' && c <= '9') d = c - '0';
            else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
            if (d < 0) return std::nullopt;
            n = n * 16 + static_cast<std::uint32_t>(d);
        }
        return static_cast<std::int32_t>(n);
    }
    return parseInt32(value);
}

std::string SettingsFilePath(const std::string& programDir, const char* xdgConfigHome, const char* home) {
    const std::string inProgramDir = (programDir.empty() ? std::string(".") : programDir) + "/" + settings::kFileName;
    std::error_code ec;
    const bool exists = std::filesystem::exists(inProgramDir, ec);
    if (writableFolder(programDir.empty() ? "." : programDir) &&
        (!exists || ::access(inProgramDir.c_str(), W_OK) == 0))
        return inProgramDir;
    std::string base;
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') base = xdgConfigHome;
    else if (home != nullptr && home[0] != '\0') base = std::string(home) + "/.config";
    else return inProgramDir;
    return base + "/v7300-logik/" + settings::kFileName;
}

std::string SettingsFilePath(const std::string& programDir) {
    return SettingsFilePath(programDir, std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

TSettingsFile::TSettingsFile(std::string fileName) : FileName_(std::move(fileName)) {}

std::optional<std::string> TSettingsFile::Lookup(const std::string& section, const std::string& key) const {
    bool inSection = false;
    for (const auto& line : readLines(FileName_)) {
        if (const auto s = sectionName(line)) {
            inSection = equalsIgnoreCase(*s, section);
            continue;
        }
        if (!inSection) continue;
        const auto k = keyOf(line);
        if (k && equalsIgnoreCase(*k, key)) return trimBlanks(line.substr(line.find('=') + 1));
    }
    return std::nullopt;
}

bool TSettingsFile::ReadBool(const std::string& section, const std::string& key, bool defaultValue) const {
    const auto v = Lookup(section, key);
    if (!v) return defaultValue;
    const auto n = ParseIniInteger(*v);
    return n ? *n != 0 : defaultValue;
}

std::int32_t TSettingsFile::ReadInteger(const std::string& section, const std::string& key,
                                        std::int32_t defaultValue) const {
    const auto v = Lookup(section, key);
    if (!v) return defaultValue;
    return ParseIniInteger(*v).value_or(defaultValue);
}

std::string TSettingsFile::ReadString(const std::string& section, const std::string& key,
                                      const std::string& defaultValue) const {
    const auto v = Lookup(section, key);
    return v ? cp1252Left(*v, kMaxTextValue) : defaultValue;
}

void TSettingsFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    Write(section, key, value ? "1" : "0");
}

void TSettingsFile::WriteInteger(const std::string& section, const std::string& key, std::int32_t value) {
    Write(section, key, std::to_string(value));
}

void TSettingsFile::WriteGeometry(bool maximized, std::int32_t top, std::int32_t left, std::int32_t width,
                                  std::int32_t height) {
    WriteBool(settings::kConfig, settings::kMaximized, maximized);
    WriteInteger(settings::kConfig, settings::kTop, top);
    WriteInteger(settings::kConfig, settings::kLeft, left);
    WriteInteger(settings::kConfig, settings::kWidth, width);
    WriteInteger(settings::kConfig, settings::kHeight, height);
}

void TSettingsFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    // One line per value: line breaks would split the entry.
    std::string v = value;
    for (char& c : v)
        if (c == '\r' || c == '\n') c = ' ';
    Write(section, key, v);
}

void TSettingsFile::Write(const std::string& section, const std::string& key, const std::string& value) {
    std::vector<std::string> lines = readLines(FileName_);
    const std::string entry = key + "=" + value;

    // Find the section and, inside it, the key (or the place after its last entry).
    std::optional<std::size_t> sectionLine;
    std::optional<std::size_t> keyLine;
    std::size_t insertAt = lines.size();
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (const auto s = sectionName(lines[i])) {
            if (inSection) break;
            inSection = equalsIgnoreCase(*s, section) && !sectionLine;
            if (inSection) {
                sectionLine = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (!inSection) continue;
        if (!trimBlanks(lines[i]).empty()) insertAt = i + 1;
        const auto k = keyOf(lines[i]);
        if (k && equalsIgnoreCase(*k, key)) {
            keyLine = i;
            break;
        }
    }
    const std::vector<std::string> before = lines;
    if (keyLine) {
        lines[*keyLine] = entry;
    } else if (sectionLine) {
        lines.insert(lines.begin() + static_cast<long>(insertAt), entry);
    } else {
        lines.push_back("[" + section + "]");
        lines.push_back(entry);
    }
    if (lines == before) return;

    std::string bytes;
    for (const auto& l : lines) bytes += utf8ToCp1252(l) + "\r\n";
    try {
        const std::string dir = directoryOf(FileName_);
        std::error_code ec;
        if (!dir.empty()) std::filesystem::create_directories(dir, ec);
        writeFileAtomic(FileName_, bytes);
        WriteFailed_ = false;
    } catch (const Error&) {
        // Reported once; the geometry is written several times a second.
        if (WriteFailed_) return;
        WriteFailed_ = true;
        throw Error(formatMessage("In %s kann nicht geschrieben werden", FileName_));
    }
}

} // namespace v7300
