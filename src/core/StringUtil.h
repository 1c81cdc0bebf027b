#pragma once
// Small text helpers shared by the layers.
#include <string>

namespace v7300 {

// Replaces every occurrence, left to right, without rescanning inserted text.
std::string replaceAll(const std::string& s, const std::string& from, const std::string& to);

// ASCII letters to upper case; other bytes unchanged.
std::string upperAscii(std::string s);

} // namespace v7300
