#include "model/LibraryCheck.h"

#include "core/Error.h"
#include "model/LogicComponentDefine.h"
#include "model/ObjDefinition.h"

namespace v7300 {

std::vector<std::string> CheckDefinitions(const TLogicComponentLibrary& library) {
    std::vector<std::string> problems;
    for (int i = 0; i < library.Count(); ++i) {
        const auto& item = library.Items(i);
        const std::string where = item.Name + " " + item.FileName + ": ";
        if (item.Lines.empty()) {
            problems.push_back(where + "Datei ist leer");
            continue;
        }
        std::string label;
        std::string stored;
        SplitChecksumLine(item.Lines.front(), label, stored);
        std::vector<std::string> body(item.Lines.begin() + 1, item.Lines.end());
        const std::string computed = ComputeDefinitionChecksum(body);
        if (stored != computed) problems.push_back(where + "Prüfsumme falsch (" + stored + " statt " + computed + ")");
        try {
            const TObjDefinition def = ParseDefinitionBody(body, item.Name);
            for (const auto& line : def.VarLines) {
                const TVarDeclaration d = SplitVarLine(line);
                (void)TLogicComponentDefine::Create(d.Name, d.Default, d.Keyword);
            }
        } catch (const Error& e) {
            problems.push_back(where + e.what());
        }
    }
    return problems;
}

} // namespace v7300
