#pragma once
// Small text helpers shared by the layers.
#include <string>
#include <string_view>
#include <vector>

namespace v7300 {

// Replaces every occurrence, left to right, without rescanning inserted text.
std::string replaceAll(const std::string& s, const std::string& from, const std::string& to);

// Parts between single blanks: two blanks in a row give an empty part.
std::vector<std::string> splitAtBlanks(const std::string& line);

// ASCII letters to upper case; other bytes unchanged.
std::string upperAscii(std::string s);

// Input text for quoting in a message: at most 80 characters (then "…"), control
// characters and bytes that are no UTF-8 written as \xNN, so that a bad line of a
// file never floods or garbles the message.
std::string quotedInput(std::string_view text);

} // namespace v7300
