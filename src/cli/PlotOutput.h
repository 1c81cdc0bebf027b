#pragma once
// simulate --plot FILE: the watched entries' timing plot as PNG or CSV.
#include <iosfwd>
#include <string>

namespace v7300 {
class TTimingPlot;
}

namespace v7300::cli {

// UsageError unless the file name ends in .png or .csv (any case).
void plotFormatOf(const std::string& path);
// Writes the plot atomically; a hint on err when its oldest part was dropped.
void writePlot(const std::string& path, const TTimingPlot& plot, std::ostream& err);

} // namespace v7300::cli
