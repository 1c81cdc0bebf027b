// v7300 dump PROJECT.v7k | pack XMLFILE -o PROJECT.v7k | convert INPUT -o OUTPUT.v7k | info PROJECT
#include "cli/Commands.h"
#include "core/Error.h"
#include "core/FileIO.h"
#include "core/TextCodec.h"
#include "model/Logic.h"
#include "project/InvertedHex.h"
#include "project/ProjectFile.h"
#include "project/XmlProject.h"

#include <cstdio>
#include <optional>
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

// "U+00E4", "U+1F600": at least four upper-case hexadecimal digits.
std::string codePointName(char32_t code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(code));
    return buf;
}

} // namespace

int cmdDump(Context& ctx) {
    const std::string file = singleArgument(ctx, "dump");
    const auto bytes = ReadProjectFileBytes(file);
    const auto xml = bytes ? DecodeProjectFile(*bytes) : std::nullopt;
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
    const Error tooLarge(input + " ist zu groß: die Projektdatei hätte mehr als 64 MiB und ließe sich nicht öffnen.");
    // Two digits per stored byte and CR LF; a character takes at most four bytes of UTF-8.
    const std::size_t maxStored = (kMaxProjectFileBytes - 2) / 2;
    const std::optional<std::string> raw = readFileBytesAtMost(input, 4 * maxStored);
    if (!raw) throw tooLarge;
    const std::string text = textFileToUtf8(*raw);
    const std::string stored = utf8ToCp1252(text);
    if (stored.size() > maxStored) throw tooLarge;
    for (const auto& c : cp1252Unstorable(text))
        ctx.err << "Hinweis: Zeile " << c.line << ": Zeichen " << codePointName(c.code)
                << " wird als \"?\" gespeichert.\n";
    writeFileAtomic(output, EncodeInvertedHex(stored) + "\r\n");
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
