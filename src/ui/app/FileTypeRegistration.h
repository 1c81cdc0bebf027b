#pragma once
// Registers the two project file types with a Linux desktop: a shared-mime-info
// package and a desktop entry in the user's data folder.
#include <string>

namespace v7300 {

// Writes <dataHome>/mime/packages/v7300-logik.xml and <dataHome>/applications/v7300-logik.desktop
// (only when their content changed). Returns false when something could not be written.
bool RegisterFileTypes(const std::string& dataHome, const std::string& programPath);
// The user's data folder: $XDG_DATA_HOME, else $HOME/.local/share; empty when neither is set.
std::string UserDataHome();

} // namespace v7300
