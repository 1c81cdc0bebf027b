#pragma once
// A small component library in memory for the project-file fuzzers.
#include "model/LogicComponentLibrary.h"
#include "model/ObjDefinition.h"

#include <string>
#include <vector>

namespace v7300::fuzz {

inline TLogicComponentLibaryItem fuzzItem(const std::string& type, const std::vector<std::string>& body) {
    TLogicComponentLibaryItem item;
    item.Name = type;
    item.Lines.push_back("{V7300-" + ComputeDefinitionChecksum(body) + "}");
    item.Lines.insert(item.Lines.end(), body.begin(), body.end());
    return item;
}

inline TLogicComponentLibrary fuzzLibrary() {
    TLogicComponentLibrary lib;
    lib.AddItem(fuzzItem("AND", {"-NAME", "AND", "-X", "4", "-Y", "5", "-IN", "4", "-OUT", "1", "---", "$A1 = 1"}));
    lib.AddItem(fuzzItem("TIMER", {"-NAME", "TIMER", "-X", "4", "-Y", "3", "-IN", "2", "-OUT", "1", "-SHOW",
                                   "$COUNTER Rest", "-VARS", "INT SEKUNDEN 10", "---", "$A1 = $E1"}));
    lib.AddItem(fuzzItem("IN", {"-NAME", "IN", "-X", "4", "-Y", "2", "-OUT", "1", "-VARS", "STR BESCHRIFTUNG Eingang",
                                "INTYPE TYPE 0", "INT HID 0", "---"}));
    lib.AddItem(fuzzItem("NUM", {"-NAME", "NUM", "-X", "3", "-Y", "2", "-OUT", "1", "-VARS", "FLOAT VALUE 0", "---"}));
    lib.AddItem(fuzzItem("TXT", {"-NAME", "TXT", "-X", "5", "-Y", "2", "-VARS", "STR TEXT Kommentar", "---"}));
    lib.AddItem(fuzzItem("BOOLTEST", {"-NAME", "BOOLTEST", "-OUT", "1", "-VARS", "BOOL FLAG 1", "CAL OP 0", "---"}));
    return lib;
}

} // namespace v7300::fuzz
