// v7300 render PROJECT -o FILE [--simulate-seconds S] [--at T:ACTION]...
// Draws the project as the editor shows it (grid, captions, no selection) and
// writes it as PNG, JPEG or BMP; with --simulate-seconds after simulating on the
// virtual clock, showing wire colours, IN/OUT states and the values.
#include "cli/Commands.h"
#include "cli/GuiApplication.h"
#include "cli/TimedActions.h"
#include "core/Error.h"

#ifdef V7300_HAVE_QT
#include "core/BmpWriter.h"
#include "core/Clock.h"
#include "core/FileIO.h"
#include "core/Image.h"
#include "core/JpegWriter.h"
#include "core/NumberFormat.h"
#include "model/LogicRenderer.h"
#include "project/ProjectFile.h"
#include "simulation/SimulationRuntime.h"
#include "cli/GuiApplication.h"
#include "ui/canvas/QtCanvas.h"

#include <algorithm>
#include <cctype>
#include <memory>
#endif

namespace v7300::cli {

#ifdef V7300_HAVE_QT
namespace {

enum class OutputFormat { Png, Jpeg, Bmp };

OutputFormat formatOf(const std::string& path) {
    const std::string name = fileNameOf(path);
    const auto dot = name.find_last_of('.');
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".png") return OutputFormat::Png;
    if (ext == ".jpg") return OutputFormat::Jpeg;
    if (ext == ".bmp") return OutputFormat::Bmp;
    throw UsageError("render: -o muss auf .png, .jpg oder .bmp enden: " + path);
}

void writePicture(const std::string& path, OutputFormat format, const Image& picture) {
    switch (format) {
    case OutputFormat::Png:
        writeFileAtomic(path, encodePng(picture));
        break;
    case OutputFormat::Jpeg:
        writeJpeg(path, picture);
        break;
    case OutputFormat::Bmp:
        writeBmp16(path, picture);
        break;
    }
}

} // namespace

int cmdRender(Context& ctx) {
    auto& args = ctx.args;
    std::string output;
    if (!takeOption(args, "-o", output) || output.empty()) throw UsageError("render: -o DATEI fehlt");
    const OutputFormat format = formatOf(output);
    std::string value;
    std::int64_t simulateMs = -1;
    if (takeOption(args, "--simulate-seconds", value)) simulateMs = parseSecondsOption(value, "--simulate-seconds");
    const std::vector<TimedAction> actions = takeTimedActions(args);
    if (!actions.empty() && simulateMs < 0) throw UsageError("render: --at nur zusammen mit --simulate-seconds");
    rejectUnknownOptions(args, "render");
    if (args.size() != 1) throw UsageError("render erwartet genau eine Projektdatei");

    const auto app = ensureGuiApplication();
    TLogic logic(ctx.libraryDir, ctx.messages);
    logic.NewProject();
    if (!OpenProjectFile(logic, args.front()))
        throw Error("Das Projekt " + args.front() + " kann nicht geöffnet werden.");
    // A picture of the library that could not be read (its message is out) would
    // be missing from the drawing: the job failed, and no picture is written.
    if (!logic.Library.UnreadableFiles().empty()) return 1;
    // As the editor shows a freshly opened project.
    logic.SelectedObject.clear();
    logic.SelectedWire = -1;
    logic.Dragging = false;
    logic.ShowInfo = true;
    logic.Raster = true;
    logic.MousePos = {-100, -100};
    logic.DocSize = {kDocumentSize, kDocumentSize};

    VirtualClock clock;
    std::unique_ptr<TLogicSimulation> runtime;
    if (simulateMs >= 0) {
        runtime = std::make_unique<TLogicSimulation>(logic, clock);
        runtime->Simulate(false);
        if (!runtime->Simulating()) throw Error("Die Simulation kann nicht gestartet werden.");
        const std::int64_t start = clock.monotonicMs();
        std::size_t next = 0;
        for (;;) {
            const std::int64_t elapsed = clock.monotonicMs() - start;
            if (elapsed >= simulateMs) break;
            while (next < actions.size() && actions[next].atMs <= elapsed) applyTimedAction(actions[next++], *runtime);
            // Up to the next action or the end; idle stretches are jumped over.
            const std::int64_t until = start + (next < actions.size() ? std::min(simulateMs, actions[next].atMs) : simulateMs);
            if (runtime->Advance(until) == 0) break;
        }
    }

    TLogicRenderer renderer(logic, clock, [] { return std::make_unique<TQtCanvas>(); });
    TQtCanvas canvas;
    renderer.DrawTo(canvas);
    const Image picture = to16Bit(canvas.ToImage());
    if (runtime) runtime->Simulation_abbrechen();
    writePicture(output, format, picture);
    return 0;
}

#else

int cmdRender(Context&) { throw Error("render: Dieses Programm wurde ohne Qt gebaut."); }

#endif

} // namespace v7300::cli
