#pragma once
// The definition file format: checksum line, header keys and script section.
#include "core/MessagePort.h"

#include <cstdint>
#include <string>
#include <vector>

namespace v7300 {

class TLogicComponentLibrary;

struct TShowEntry {
    std::string Reference;
    std::string Caption;
    bool operator==(const TShowEntry&) const = default;
};

struct TObjDefinition {
    std::string NamePrefix;
    std::uint8_t Width = 2;
    std::uint8_t Height = 2;
    std::uint8_t InputCount = 0;
    std::uint8_t OutputCount = 0;
    std::vector<std::string> ShowLines; // raw "-SHOW" lines; "$NAME" is replaced at placement
    std::vector<std::string> VarLines;
    std::vector<std::string> VarNames;
    std::vector<std::string> ScriptLines;
};

// One "-VARS" line split into keyword, name and default value.
struct TVarDeclaration {
    std::string Keyword;
    std::string Name;
    std::string Default;
};

// The checksum a definition's first line must carry: MD5 over the other lines,
// each followed by CR LF, computed on their Windows-1252 bytes.
std::string ComputeDefinitionChecksum(const std::vector<std::string>& linesAfterFirst);

// Splits a checksum line "{label-CHECKSUM}" into label and stored checksum.
void SplitChecksumLine(const std::string& line, std::string& label, std::string& checksum);

// Verifies line 1 of the lines and removes it. On a mismatch shows the "Fehler"
// box and rewrites the file of FindItem(typeName) with the right checksum.
// Returns whether the checksum matched.
bool VerifyAndStripChecksum(std::vector<std::string>& lines, const std::string& typeName,
                            const TLogicComponentLibrary& library, MessagePort& messages);

// Parses the header and script of the lines (without the checksum line).
// A number line that is no integer raises ConversionError; more than 11 pins or
// a "-VARS" line without a name raise Error naming the type.
TObjDefinition ParseDefinitionBody(std::vector<std::string> lines, const std::string& typeName);

// Splits a "-VARS" line at single blanks; the default is every further part followed by one blank.
TVarDeclaration SplitVarLine(const std::string& line);

// A "-SHOW" line for an instance: "$NAME" (first occurrence) replaced, reference cut
// to 20 characters, caption to 9 characters and trimmed.
TShowEntry MakeShowEntry(const std::string& line, const std::string& instanceName);

// Writes a definition file with a correct checksum line, keeping the label.
void WriteSignedDefinition(const std::string& path, const std::string& label,
                           const std::vector<std::string>& linesAfterFirst);

} // namespace v7300
