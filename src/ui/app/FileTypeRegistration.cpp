#include "ui/app/FileTypeRegistration.h"

#include "core/FileIO.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace v7300 {

namespace {

std::string desktopQuote(const std::string& path) {
    std::string out = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

bool writeIfChanged(const std::string& path, const std::string& content) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (ec) return false;
    try {
        if (std::filesystem::exists(path, ec) && readFileBytes(path) == content) return true;
        writeFileAtomic(path, content);
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace

std::string UserDataHome() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return xdg;
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.local/share";
    return {};
}

bool RegisterFileTypes(const std::string& dataHome, const std::string& programPath) {
    if (dataHome.empty()) return false;
    const std::string mime =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"application/x-v7300-logik\">\n"
        "    <comment>V7300-Logik Projekt</comment>\n"
        "    <glob pattern=\"*.v7k\" case-sensitive=\"true\"/>\n"
        "  </mime-type>\n"
        "  <mime-type type=\"application/x-v7300-logik-legacy\">\n"
        "    <comment>V7300-Logik Projekt</comment>\n"
        "    <glob pattern=\"*.V7300_Logik\" case-sensitive=\"true\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n";
    const std::string desktop = "[Desktop Entry]\n"
                                "Type=Application\n"
                                "Name=V7300 - Logik\n"
                                "Comment=V7300-Logik Projekt\n"
                                "Exec=" + desktopQuote(programPath) + " %f\n"
                                "Icon=" + programPath + "\n"
                                "MimeType=application/x-v7300-logik;application/x-v7300-logik-legacy;\n"
                                "Terminal=false\n"
                                "Categories=Development;Electronics;\n";
    const bool a = writeIfChanged(dataHome + "/mime/packages/v7300-logik.xml", mime);
    const bool b = writeIfChanged(dataHome + "/applications/v7300-logik.desktop", desktop);
    return a && b;
}

} // namespace v7300
