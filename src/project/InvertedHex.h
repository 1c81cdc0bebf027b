#pragma once
// The outer layer of a .v7k file: every byte b of the XML text stored as the two
// hexadecimal digits of 255 - b.
#include <optional>
#include <string>
#include <string_view>

namespace v7300 {

// Two upper-case digits per byte, nothing else.
std::string EncodeInvertedHex(std::string_view bytes);

// The bytes of a digit string (either letter case). Blanks and control characters
// at both ends are ignored; anything that is not pairs of hexadecimal digits gives nothing.
std::optional<std::string> DecodeInvertedHex(std::string_view text);

} // namespace v7300
