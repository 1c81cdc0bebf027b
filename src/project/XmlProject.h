#pragma once
// The .v7k project file: an XML document (Windows-1252) stored as inverted hex.
#include "model/DiagramFragment.h"
#include "model/Logic.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace v7300 {

// The format version the writer puts into every file.
inline constexpr const char* kXmlProjectVersion = "2.2.2";

// The readers refuse larger files (with the format message): no project anyone saved is that large.
inline constexpr std::size_t kMaxProjectFileBytes = 64u * 1024u * 1024u;

// Pixel coordinates of a diagram lie within this bound on both sides; a file with a
// position beyond it is refused (with the format message), so no ×10 can overflow.
inline constexpr std::int32_t kMaxPixelCoordinate = 1000000;

inline constexpr const char* kXmlFormatMessage = "Die Datei entspricht nicht dem V7300 (v7k) Format!";
inline constexpr const char* kXmlOpenMessage = "Die Datei kann nicht geöffnet werden!";

// Writes the whole document, replacing the file safely (the old file stays intact
// when writing fails). Raises Error "In <file> kann nicht geschrieben werden".
void SaveXml(const TLogic& logic, const std::string& fileName);

// Replaces the document's content by the file's. Messages go through logic.Messages.
// Returns false when the file could not be read (format or content) or the user
// declined to open a file of a newer version.
bool OpenXml(TLogic& logic, const std::string& fileName);

// The XML text (UTF-8, CR LF line ends, declaration without encoding) of the document.
std::string BuildXmlText(const TLogic& logic);

// The complete file bytes: inverted hex of the Windows-1252 text plus CR LF.
std::string EncodeProjectFile(const std::string& xmlUtf8);

// The file's bytes when it is not larger than kMaxProjectFileBytes; nothing when it is
// larger or cannot be read.
std::optional<std::string> ReadProjectFileBytes(const std::string& fileName);

// Stage 1 on file bytes: the XML text as UTF-8 when the bytes are inverted hex of a
// well-formed XML document; nothing otherwise.
std::optional<std::string> DecodeProjectFile(const std::string& fileBytes);

// OpenXml on bytes already in memory (stage 1 and 2).
bool OpenXmlBytes(TLogic& logic, const std::string& fileBytes);

// The clipboard's form of a diagram fragment: the project file's XML text with
// only the components and the wires between them (UTF-8, not inverted hex).
std::string BuildFragmentXml(const TDiagramFragment& fragment);
// Reads such a text. A text that is not a fragment in this form, or holds
// positions no diagram can have, raises Error with the project reader's message
// "Die Datei entspricht nicht dem V7300 (v7k) Format!".
TDiagramFragment ReadFragmentXml(const std::string& utf8);
// Whether a plain text looks like a fragment (worth offering "Einfügen" for).
bool LooksLikeFragmentXml(const std::string& utf8);

} // namespace v7300
