#pragma once
// Small text helpers shared by the layers.
#include <string>
#include <vector>

namespace v7300 {

// Replaces every occurrence, left to right, without rescanning inserted text.
std::string replaceAll(const std::string& s, const std::string& from, const std::string& to);

// Parts between single blanks: two blanks in a row give an empty part.
std::vector<std::string> splitAtBlanks(const std::string& line);

// ASCII letters to upper case; other bytes unchanged.
std::string upperAscii(std::string s);

} // namespace v7300
