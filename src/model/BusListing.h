#pragma once
// The bus listing print-out ("Hardware Anschlussbeschreibung"): the diagram's
// V²BUS components with all their variables, one block per component, on as
// many pages as they need.
#include "model/LogicComponent.h"
#include "model/PrintPages.h"

#include <string_view>

namespace v7300 {

// The print job's document title.
inline constexpr const char* kBusListingTitle = "Bus-Data";
inline constexpr const char* kBusListingHeading = "V7300 - Bus - Konfiguration";

// BUS-IN-II, BUS-IN-VIII, BUS-OUT-II, BUS-OUT-IV, BUS-OUT-VIII, BUS-TEMP-II, BUS-TEMP-IV, BUS-PWM-II.
bool IsBusType(std::string_view typeName);

// Draws the listing: the heading at (300, 300) in bold 16 point; for each bus
// component in list order its instance name at x = 500 (bold 12 point) and its
// variables as "NAME: value" at x = 700 (10 point), one line each; every
// component, bus or not, moves the position on by one text height + 200. A new
// page begins at 300 when no more than 600 pixels are left below the position.
void PrintBusListing(const TLogicComponentList& components, TPrintPages& pages);

} // namespace v7300
