#pragma once
// Helpers shared by the tests of every layer.
#include "core/MessagePort.h"
#include "core/Image.h"

#include <deque>
#include <string>
#include <vector>

namespace v7300::test {

// Records every message and answers as told (default button when nothing is queued).
class RecordingMessagePort : public MessagePort {
public:
    MsgButton show(const Message& message) override;
    void answerNext(MsgButton button) { answers_.push_back(button); }
    std::vector<Message> messages;
    std::vector<std::string> texts() const;

private:
    std::deque<MsgButton> answers_;
};

// A temporary folder removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& relative) const { return path_ + "/" + relative; }

private:
    std::string path_;
};

// Writes bytes to a file, creating its folders.
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);

// A definition file's text (UTF-8 lines) with a correct checksum line, CR LF line ends,
// written as Windows-1252.
std::string signedDefinition(const std::vector<std::string>& linesAfterFirst, const std::string& label = "V7300");

// Writes <dir>/<type>/<type>.obj with a correct checksum line.
void writeDefinition(const std::string& libraryDir, const std::string& type,
                     const std::vector<std::string>& linesAfterFirst);

// Writes a small PNG picture.
void writePng(const std::string& path, int width, int height, std::uint32_t argb = 0xFF808080u);

// A library folder with a handful of types for model and file tests:
// AND (4 in, 1 out), OR (4 in, 1 out), INV (1 in, 1 out), TIMER (S, R; INT SEKUNDEN),
// IN (TYPE INTYPE, HID INT, BESCHRIFTUNG STR), OUT (1 in), NUM (VALUE INT), TXT (STR TEXT),
// BOOLTEST (BOOL FLAG), WIDE (3 in, width 4).
void writeTestLibrary(const std::string& libraryDir);

} // namespace v7300::test
