#pragma once
// The one conversion between the program's UTF-8 text and the Windows-1252 bytes
// of files, definition files, device images and telegrams.
#include <string>
#include <string_view>
#include <vector>

namespace v7300 {

// Windows-1252 bytes -> UTF-8. Bytes that Windows-1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value.
std::string cp1252ToUtf8(std::string_view bytes);

// UTF-8 -> Windows-1252 bytes. A character Windows-1252 cannot hold, and a
// malformed UTF-8 sequence, becomes "?".
std::string utf8ToCp1252(std::string_view text);

// Number of characters of a UTF-8 text as Windows-1252 would store them.
std::size_t cp1252Length(std::string_view text);

// The first n characters (Windows-1252 characters, not UTF-8 bytes).
std::string cp1252Left(std::string_view text, std::size_t n);

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or code
// points beyond U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// A text file's content as UTF-8: the bytes themselves when they are valid UTF-8,
// otherwise read as Windows-1252.
std::string textFileToUtf8(std::string bytes);

// A character of a UTF-8 text that Windows-1252 cannot hold (it is stored as "?"),
// with its line counted from 1 (LF, CR LF and CR end a line).
struct UnstorableCharacter {
    std::size_t line = 0;
    char32_t code = 0;
};
std::vector<UnstorableCharacter> cp1252Unstorable(std::string_view text);

} // namespace v7300
