// v7300 library list | check [DIR] | sign FILE.obj...
#include "cli/Commands.h"
#include "core/Error.h"
#include "core/FileIO.h"
#include "core/TextCodec.h"
#include "model/LibraryCheck.h"
#include "model/LogicComponentLibrary.h"
#include "model/ObjDefinition.h"

#include <ostream>

namespace v7300::cli {
namespace {

int listLibrary(Context& ctx) {
    rejectUnknownOptions(ctx.args, "library list");
    if (!ctx.args.empty()) throw UsageError("library list erwartet keine Argumente");
    const TLogicComponentLibrary library(ctx.libraryDir, ctx.messages);
    for (int i = 0; i < library.Count(); ++i)
        ctx.out << library.Items(i).Name << " " << library.Items(i).Images.size() << "\n";
    return 0;
}

int checkLibrary(Context& ctx) {
    rejectUnknownOptions(ctx.args, "library check");
    if (ctx.args.size() > 1) throw UsageError("library check erwartet höchstens einen Ordner");
    const std::string dir = ctx.args.empty() ? ctx.libraryDir : ctx.args.front();
    const TLogicComponentLibrary library(dir, ctx.messages);
    const auto problems = CheckLibrary(library);
    for (const auto& p : problems) ctx.out << p << "\n";
    return problems.empty() ? 0 : 1;
}

// Rewrites only the first line, so the file's other bytes (line ends included) stay.
void signFile(const std::string& path) {
    const std::string raw = readFileBytes(path);
    const auto firstEnd = raw.find_first_of("\r\n");
    const std::string firstLine = cp1252ToUtf8(raw.substr(0, firstEnd));
    std::string label;
    std::string stored;
    SplitChecksumLine(firstLine, label, stored);
    std::vector<std::string> lines = splitLines(cp1252ToUtf8(raw));
    if (!lines.empty()) lines.erase(lines.begin());
    const std::string newFirst = utf8ToCp1252("{" + label + "-" + ComputeDefinitionChecksum(lines) + "}");
    const std::string rest = firstEnd == std::string::npos ? std::string("\r\n") : raw.substr(firstEnd);
    writeFileAtomic(path, newFirst + rest);
}

int signFiles(Context& ctx) {
    rejectUnknownOptions(ctx.args, "library sign");
    if (ctx.args.empty()) throw UsageError("library sign erwartet mindestens eine Datei");
    int status = 0;
    for (const auto& file : ctx.args) {
        try {
            signFile(file);
        } catch (const Error& e) {
            ctx.err << "Fehler: " << e.what() << "\n";
            status = 1;
        }
    }
    return status;
}

} // namespace

int cmdLibrary(Context& ctx) {
    if (ctx.args.empty()) throw UsageError("library: list, check oder sign fehlt");
    const std::string sub = ctx.args.front();
    ctx.args.erase(ctx.args.begin());
    if (sub == "list") return listLibrary(ctx);
    if (sub == "check") return checkLibrary(ctx);
    if (sub == "sign") return signFiles(ctx);
    throw UsageError("library: unbekannter Befehl " + sub);
}

} // namespace v7300::cli
