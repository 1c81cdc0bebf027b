// v7300 dump PROJECT.v7k | pack XMLFILE -o PROJECT.v7k | convert INPUT -o OUTPUT.v7k | info PROJECT
#include "cli/Commands.h"
#include "core/Error.h"
#include "core/FileIO.h"
#include "model/Logic.h"
#include "project/ProjectFile.h"
#include "project/XmlProject.h"

#include <ostream>

namespace v7300::cli {
namespace {

std::string singleArgument(Context& ctx, const char* command) {
    rejectUnknownOptions(ctx.args, command);
    if (ctx.args.size() != 1) throw UsageError(std::string(command) + " erwartet genau eine Datei");
    return ctx.args.front();
}

std::string outputOption(Context& ctx, const char* command) {
    std::string output;
    if (!takeOption(ctx.args, "-o", output)) throw UsageError(std::string(command) + ": -o AUSGABE fehlt");
    return output;
}

} // namespace

int cmdDump(Context& ctx) {
    const std::string file = singleArgument(ctx, "dump");
    std::string bytes;
    try {
        bytes = readFileBytes(file);
    } catch (const Error&) {
        ctx.messages.showError(kXmlFormatMessage);
        return 1;
    }
    const auto xml = DecodeProjectFile(bytes);
    if (!xml) {
        ctx.messages.showError(kXmlFormatMessage);
        return 1;
    }
    ctx.out << *xml;
    return 0;
}

int cmdPack(Context& ctx) {
    const std::string output = outputOption(ctx, "pack");
    const std::string input = singleArgument(ctx, "pack");
    writeFileAtomic(output, EncodeProjectFile(readFileBytes(input)));
    return 0;
}

int cmdConvert(Context& ctx) {
    const std::string output = outputOption(ctx, "convert");
    const std::string input = singleArgument(ctx, "convert");
    TLogic logic(ctx.libraryDir, ctx.messages);
    logic.NewProject();
    if (!OpenProjectFile(logic, input)) return 1;
    SaveXml(logic, output);
    return 0;
}

int cmdInfo(Context& ctx) {
    const std::string input = singleArgument(ctx, "info");
    TLogic logic(ctx.libraryDir, ctx.messages);
    logic.NewProject();
    if (!OpenProjectFile(logic, input)) return 1;
    ctx.out << "components " << logic.Components.Count() << "\n";
    ctx.out << "wires " << logic.Wires.Count() << "\n";
    ctx.out << "address " << logic.DeviceAddress << "\n";
    for (const auto& c : logic.Components)
        ctx.out << c.Name << " " << c.TypeName << " " << c.Left << " " << c.Top << "\n";
    return 0;
}

} // namespace v7300::cli
