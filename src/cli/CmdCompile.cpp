// v7300 compile PROJECT [-o FILE] | checksum PROJECT
#include "cli/Commands.h"
#include "core/Error.h"
#include "core/FileIO.h"
#include "device/LogicCompiler.h"
#include "device/UnitV7300EEPROMData.h"
#include "model/Logic.h"
#include "project/ProjectFile.h"

#include <ostream>

namespace v7300::cli {
namespace {

std::string projectArgument(Context& ctx, const char* command) {
    rejectUnknownOptions(ctx.args, command);
    if (ctx.args.size() != 1) throw UsageError(std::string(command) + " erwartet genau eine Projektdatei");
    return ctx.args.front();
}

std::string terminalText(std::string s) {
    for (std::size_t pos = 0; (pos = s.find("\r\n", pos)) != std::string::npos;) s.erase(pos, 1);
    return s;
}

} // namespace

int cmdCompile(Context& ctx) {
    std::string output;
    const bool writeImage = takeOption(ctx.args, "-o", output);
    const std::string project = projectArgument(ctx, "compile");
    TLogic logic(ctx.libraryDir, ctx.messages);
    logic.NewProject();
    if (!OpenProjectFile(logic, project)) return 1;

    TV7300_EEPROM_Data image;
    try {
        CreateNETIOData(logic, image);
    } catch (const Error& e) {
        ctx.err << terminalText(e.what()) << "\n";
        return 1;
    }
    const std::int32_t objects = logic.Components.CountWithoutTXT();
    if (writeImage) {
        const auto& bytes = image.Bytes();
        writeFileAtomic(output, std::string(bytes.begin(), bytes.end()));
    }
    ctx.out << objects << " / " << kMaxDeviceObjects << " [" << image.GetSize() << " Bytes]\n";
    if (objects >= kMaxDeviceObjects) ctx.err << "Hinweis: Es können nur maximal 100 Bausteine benutzt werden!\n";
    for (const auto& hint : OpenInputHints(logic)) ctx.messages.showHint(hint);
    return 0;
}

int cmdChecksum(Context& ctx) {
    const std::string project = projectArgument(ctx, "checksum");
    TLogic logic(ctx.libraryDir, ctx.messages);
    logic.NewProject();
    if (!OpenProjectFile(logic, project)) return 1;
    ctx.out << GetCrc(logic) << "\n";
    return 0;
}

} // namespace v7300::cli
