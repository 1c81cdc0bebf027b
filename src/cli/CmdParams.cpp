// v7300 set PROJECT NAME.VARIABLE=WERT... [-o FILE] | pages PROJECT
#include "cli/Commands.h"
#include "core/Error.h"
#include "model/Logic.h"
#include "model/ParamFields.h"
#include "project/ProjectFile.h"
#include "project/XmlProject.h"

#include <ostream>

namespace v7300::cli {
namespace {

struct Assignment {
    std::string component;
    std::string variable;
    std::string value;
};

// NAME.VARIABLE=WERT: the value may hold "=" and "."; the variable is after the last "." before the first "=".
Assignment parseAssignment(const std::string& arg) {
    const auto eq = arg.find('=');
    const std::string target = eq == std::string::npos ? std::string() : arg.substr(0, eq);
    const auto dot = target.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == target.size())
        throw UsageError("set: NAME.VARIABLE=WERT erwartet, nicht " + arg);
    return {target.substr(0, dot), target.substr(dot + 1), arg.substr(eq + 1)};
}

int componentIndex(const TLogic& logic, const std::string& name) {
    for (int i = 0; i < logic.Components.Count(); ++i)
        if (logic.Components.Items(i).Name == name) return i;
    throw Error("Den Baustein " + name + " gibt es nicht.");
}

} // namespace

int cmdSet(Context& ctx) {
    std::string output;
    const bool explicitOutput = takeOption(ctx.args, "-o", output);
    if (ctx.args.size() < 2) throw UsageError("set erwartet PROJEKT und mindestens eine Zuweisung NAME.VARIABLE=WERT");
    const std::string project = ctx.args.front();
    std::vector<Assignment> assignments;
    for (std::size_t i = 1; i < ctx.args.size(); ++i) assignments.push_back(parseAssignment(ctx.args[i]));
    if (!explicitOutput) output = project;
    // The only writer is the XML format: a text-format project is not overwritten by it.
    if (!IsXmlProjectForCommandLine(output))
        throw Error("Gespeichert wird im Format .v7k; bitte -o DATEI.v7k angeben.");

    TLogic logic(ctx.libraryDir, ctx.messages);
    logic.NewProject();
    if (!OpenProjectFile(logic, project)) return 1;
    // All assignments first: a refused one leaves the file untouched.
    for (const Assignment& a : assignments)
        SetParamValue(logic.Components, componentIndex(logic, a.component), a.variable, a.value, ctx.messages);
    SaveXml(logic, output);
    return 0;
}

int cmdPages(Context& ctx) {
    if (ctx.args.size() != 1) throw UsageError("pages erwartet genau eine Datei");
    TLogic logic(ctx.libraryDir, ctx.messages);
    logic.NewProject();
    if (!OpenProjectFile(logic, ctx.args.front())) return 1;
    for (std::size_t k = 0; k < logic.ShownTexts.size(); ++k) {
        const TShownOutput& page = logic.ShownTexts[k];
        ctx.out << "Seite " << k + 1 << ": " << page.name << "\n";
        for (std::size_t i = 0; i < page.slots.size(); ++i)
            if (const auto& entry = page.slots[i])
                ctx.out << "  " << i << ": " << entry->component << " [" << entry->output + 1 << "] " << entry->text
                        << "\n";
    }
    return 0;
}

} // namespace v7300::cli
