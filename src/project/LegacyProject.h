#pragma once
// The older text project file (".V7300_Logik"): fixed-width lines in four
// marked sections. Read only; projects are saved as XML.
#include "model/Logic.h"

#include <string>

namespace v7300 {

// Replaces the diagram by the file's content and sets the options the file names.
// Raises Error on the first failing line; what was read up to it stays.
void Open(TLogic& logic, const std::string& fileName);
void OpenLegacyBytes(TLogic& logic, const std::string& fileBytes);

// Open, with a failure shown as a "Fehler" box through logic.Messages; false then.
bool OpenLegacy(TLogic& logic, const std::string& fileName);

} // namespace v7300
