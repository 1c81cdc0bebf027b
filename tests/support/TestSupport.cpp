#include "TestSupport.h"

#include "core/Error.h"
#include "core/FileIO.h"
#include "core/TextCodec.h"
#include "model/ObjDefinition.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace v7300::test {
namespace fs = std::filesystem;

MsgButton RecordingMessagePort::show(const Message& message) {
    messages.push_back(message);
    if (answers_.empty()) return message.defaultButton;
    const MsgButton b = answers_.front();
    answers_.pop_front();
    return b;
}

std::vector<std::string> RecordingMessagePort::texts() const {
    std::vector<std::string> out;
    for (const auto& m : messages) out.push_back(m.text);
    return out;
}

TempDir::TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "v7300-test-XXXXXX").string();
    if (mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void writeFile(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream f(path, std::ios::binary);
    f << bytes;
    if (!f) throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path) { return readFileBytes(path); }

std::string signedDefinition(const std::vector<std::string>& linesAfterFirst, const std::string& label) {
    std::string text = utf8ToCp1252("{" + label + "-" + ComputeDefinitionChecksum(linesAfterFirst) + "}") + "\r\n";
    for (const auto& l : linesAfterFirst) text += utf8ToCp1252(l) + "\r\n";
    return text;
}

void writeDefinition(const std::string& libraryDir, const std::string& type,
                     const std::vector<std::string>& linesAfterFirst) {
    writeFile(libraryDir + "/" + type + "/" + type + ".obj", signedDefinition(linesAfterFirst));
}

void writePng(const std::string& path, int width, int height, std::uint32_t argb) {
    writeFile(path, encodePng(Image(width, height, argb)));
}

void writeTestLibrary(const std::string& dir) {
    auto gate = [&](const std::string& type, const std::string& op) {
        writeDefinition(dir, type,
                        {"-NAME", type, "-X", "4", "-Y", "5", "-IN", "4", "-OUT", "1", "---",
                         "%E1 $A1 = $_E1 " + op + " $_E2"});
        writePng(dir + "/" + type + "/" + type + ".png", 40, 50);
    };
    gate("AND", "AND");
    gate("OR", "OR");
    writeDefinition(dir, "INV", {"-NAME", "INV", "-X", "3", "-Y", "2", "-IN", "1", "-OUT", "1", "---", "$A1 = 1 - $E1"});
    writeDefinition(dir, "TIMER",
                    {"-NAME", "TIMER", "-X", "4", "-Y", "3", "-IN", "2", "-OUT", "1", "-SHOW", "$COUNTER Rest",
                     "-VARS", "INT SEKUNDEN 10", "-VARNAMES", "Sekunden", "---", "$A1 = $E1"});
    writeDefinition(dir, "IN",
                    {"-NAME", "IN", "-X", "4", "-Y", "2", "-IN", "0", "-OUT", "1", "-VARS", "STR BESCHRIFTUNG Eingang",
                     "INTYPE TYPE 0", "INT HID 0", "-VARNAMES", "Beschriftung", "Typ", "Eingang", "---", "$A1 = $E1"});
    writePng(dir + "/IN/IN0.png", 40, 20);
    writeDefinition(dir, "OUT",
                    {"-NAME", "OUT", "-X", "4", "-Y", "2", "-IN", "1", "-OUT", "1", "-VARS", "INT ID 1", "---",
                     "$A1 = $E1"});
    writeDefinition(dir, "NUM", {"-NAME", "NUM", "-X", "3", "-Y", "2", "-OUT", "1", "-VARS", "INT VALUE 0", "---",
                                 "$A1 = §VALUE"});
    writeDefinition(dir, "TXT", {"-NAME", "TXT", "-X", "5", "-Y", "2", "-VARS", "STR TEXT Kommentar", "---"});
    writeDefinition(dir, "BOOLTEST", {"-NAME", "BOOLTEST", "-OUT", "1", "-VARS", "BOOL FLAG 1", "---"});
    writeDefinition(dir, "WIDE", {"-NAME", "WIDE", "-X", "4", "-Y", "4", "-IN", "3", "-OUT", "1", "---"});
}

} // namespace v7300::test
