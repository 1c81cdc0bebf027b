#pragma once
// The date and time a user types for "Gehe zu Zeitpunkt…": "29.03.2026 03:30",
// "29.03.2026 03:30:15" (a leading weekday as the status bar shows it, "So ",
// is allowed) or "2026-03-29T03:30:00".
#include "core/Clock.h"

#include <optional>
#include <string>

namespace v7300 {

// Nothing when the text is no date and time that exists in the calendar.
std::optional<DateTime> ParseDateTimeText(const std::string& text);
// "29.03.2026 03:30:00".
std::string DateTimeText(const DateTime& t);

} // namespace v7300
