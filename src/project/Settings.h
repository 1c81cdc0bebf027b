#pragma once
// The program's settings file "config.ini": sections "config" and "key".
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace v7300 {

// Keys and defaults of the settings the editor keeps.
namespace settings {
inline constexpr const char* kFileName = "config.ini";
inline constexpr const char* kConfig = "config";
inline constexpr const char* kKey = "key";
inline constexpr const char* kInfo = "info";             // bool, true
inline constexpr const char* kRaster = "raster";         // bool, true
inline constexpr const char* kMoveWindow = "moveWindow"; // bool, true
inline constexpr const char* kTop = "top";               // int, 30
inline constexpr const char* kLeft = "left";             // int, 30
inline constexpr const char* kHeight = "height";         // int, 500
inline constexpr const char* kWidth = "width";           // int, 500
inline constexpr const char* kMaximized = "maximized";   // bool, written only
inline constexpr const char* kAendern = "aendern";       // text, "E"
} // namespace settings

// Where config.ini lives: in the program's folder when that folder can be written,
// otherwise $XDG_CONFIG_HOME/v7300-logik/config.ini (~/.config/... when unset).
// The environment values are passed in so that tests choose them.
std::string SettingsFilePath(const std::string& programDir, const char* xdgConfigHome, const char* home);
// The same with the process's environment.
std::string SettingsFilePath(const std::string& programDir);

// An INI file: every read looks at the file, every write goes to the file at once
// (written safely; an unchanged file is not rewritten).
class TSettingsFile {
public:
    explicit TSettingsFile(std::string fileName);

    const std::string& FileName() const { return FileName_; }

    // A boolean: an integer, any value but 0 is true; invalid or missing gives the default.
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
    // Decimal, or hexadecimal after "0x"/"0X" (at least three characters); invalid or missing gives the default.
    std::int32_t ReadInteger(const std::string& section, const std::string& key, std::int32_t defaultValue) const;
    // The text as written, at most 2047 characters; missing gives the default.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;

    // Booleans are written "1"/"0", integers in decimal. A failing write raises
    // Error "In <file> kann nicht geschrieben werden" once; further failures stay
    // quiet until a write succeeds again.
    void WriteBool(const std::string& section, const std::string& key, bool value);
    void WriteInteger(const std::string& section, const std::string& key, std::int32_t value);
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

    // The main window's geometry, in the order "maximized", "top", "left", "width", "height".
    void WriteGeometry(bool maximized, std::int32_t top, std::int32_t left, std::int32_t width, std::int32_t height);

    // Whether the last write failed.
    bool WriteFailed() const { return WriteFailed_; }

private:
    std::optional<std::string> Lookup(const std::string& section, const std::string& key) const;
    void Write(const std::string& section, const std::string& key, const std::string& value);

    std::string FileName_;
    bool WriteFailed_ = false;
};

// Parsing of the value encodings, shared with the tests.
std::optional<std::int32_t> ParseIniInteger(const std::string& value);

} // namespace v7300
