#include "project/ProjectFile.h"

#include "core/FileIO.h"
#include "project/LegacyProject.h"
#include "project/XmlProject.h"

#include <algorithm>
#include <cctype>

namespace v7300 {

std::string FileExtension(const std::string& path) {
    const std::string name = fileNameOf(path);
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

bool IsXmlProjectForCommandLine(const std::string& path) { return FileExtension(path) == ".v7k"; }

bool IsXmlProjectForDialog(const std::string& path) {
    std::string ext = FileExtension(path);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return ext != ".V7300_LOGIK";
}

bool OpenProjectFile(TLogic& logic, const std::string& path) {
    return IsXmlProjectForCommandLine(path) ? OpenXml(logic, path) : OpenLegacy(logic, path);
}

bool OpenProjectFileFromDialog(TLogic& logic, const std::string& path) {
    return IsXmlProjectForDialog(path) ? OpenXml(logic, path) : OpenLegacy(logic, path);
}

} // namespace v7300
