#include "cli/PlotOutput.h"

#include "cli/Cli.h"
#include "cli/GuiApplication.h"
#include "core/Error.h"
#include "core/FileIO.h"
#include "core/NumberFormat.h"
#include "simulation/TimingPlot.h"
#include "simulation/TimingPlotRenderer.h"

#ifdef V7300_HAVE_QT
#include "ui/canvas/QtCanvas.h"
#endif

#include <algorithm>
#include <cctype>
#include <ostream>

namespace v7300::cli {
namespace {

std::string extensionOf(const std::string& path) {
    const std::string name = fileNameOf(path);
    const auto dot = name.find_last_of('.');
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

} // namespace

void plotFormatOf(const std::string& path) {
    const std::string ext = extensionOf(path);
    if (ext != ".png" && ext != ".csv") throw UsageError("--plot: die Datei muss auf .png oder .csv enden: " + path);
}

void writePlot(const std::string& path, const TTimingPlot& plot, std::ostream& err) {
    if (plot.Truncated())
        err << "Hinweis: Der Zeitverlauf enthält nur die letzten " << TTimingPlot::kMaxChanges << " Änderungen.\n";
    if (extensionOf(path) == ".csv") {
        writeFileAtomic(path, plot.Csv(decimalSeparator()));
        return;
    }
#ifdef V7300_HAVE_QT
    const auto app = ensureGuiApplication();
    TQtCanvas canvas;
    TTimingPlotRenderer::Draw(canvas, plot, TPlotView{0, -1, 1200});
    writeFileAtomic(path, encodePng(canvas.ToImage()));
#else
    throw Error("--plot: Dieses Programm wurde ohne Qt gebaut; nur .csv ist möglich.");
#endif
}

} // namespace v7300::cli
