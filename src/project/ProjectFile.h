#pragma once
// Which reader opens a project file.
#include "model/Logic.h"

#include <string>

namespace v7300 {

// The extension of a path: from the last "." of its file name, "" when there is none.
std::string FileExtension(const std::string& path);

// A file named on the command line: extension exactly ".v7k" -> XML, anything else -> text format.
bool IsXmlProjectForCommandLine(const std::string& path);
// A file chosen in the open dialog: ".V7300_Logik" in any letter case -> text format, anything else -> XML.
bool IsXmlProjectForDialog(const std::string& path);

// Opens by the command-line rule. Returns false when reading failed (the message
// has gone through logic.Messages) or the user declined.
bool OpenProjectFile(TLogic& logic, const std::string& path);
// Opens by the open-dialog rule.
bool OpenProjectFileFromDialog(TLogic& logic, const std::string& path);

} // namespace v7300
