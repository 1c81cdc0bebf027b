#pragma once
// The bus listing print-out ("Bus-Data") as a PDF document on A4 at 600 dots
// per inch, the printer's pixels of the layout. Used by the editor's print
// command when no printer is set up and by `v7300 bus print`.
#include "model/LogicComponent.h"

#include <string>

namespace v7300 {

// The PDF's bytes; raises Error when it cannot be made.
std::string BusListingPdf(const TLogicComponentList& components);

} // namespace v7300
