#pragma once
// Two small bitmap fonts for the library pictures: 3x5 for pin names, 5x7 for
// symbols and the texts of the IN dialog pictures. Glyphs are rows of '#' and '.'.
#include <string>

namespace objpics {

// Private codes for the few characters outside ASCII the pictures use.
constexpr char kGreaterEqual = '\x01';
constexpr char kDegree = '\x02';
constexpr char kSquared = '\x03';

// Rows of a glyph (5 rows of 3 or 7 rows of 5); nullptr when the font lacks it.
const char* const* smallGlyph(char c);
const char* const* largeGlyph(char c);

} // namespace objpics
