#pragma once
// One parser and one formatter for numbers in the whole program.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace v7300 {

// Blanks are spaces and control characters (bytes up to 0x20).
bool isBlank(char c);
std::string trimBlanks(std::string_view s);

// Strict decimal 32-bit integer: optional sign, digits, nothing else (no blanks).
std::optional<std::int32_t> parseInt32(std::string_view s);
// As parseInt32, but a text that is no integer raises ConversionError.
std::int32_t toInt32(std::string_view s);

// The user's decimal separator, used by the number formatter and parser.
// Set once by each program from the number locale; tests pin ','.
char decimalSeparator();
void setDecimalSeparator(char c);
// The decimal separator of the process's number locale (LC_NUMERIC from the environment).
char systemDecimalSeparator();

// A floating-point number: optional sign, digits with one optional decimal
// separator, optional exponent. Leading and trailing spaces are allowed.
std::optional<double> parseDouble(std::string_view s, char separator);
std::optional<double> parseDouble(std::string_view s);

// Truth values: "True"/"False" in any letter case, or a number (not 0 = true).
std::optional<bool> parseBool(std::string_view s);
// As parseBool, but a text that is neither raises ConversionError.
bool toBool(std::string_view s);

// The general number format: at most 15 significant digits, no trailing zeros,
// an exponent only for very large or very small values ("1E15", "1,5E-7").
std::string formatGeneral(double v, char separator);
std::string formatGeneral(double v);

// Rounds to the nearest integer, halves to the even neighbour (12.5 -> 12, 13.5 -> 14).
std::int64_t roundHalfEven(double v);

// Integer division truncating towards zero.
constexpr std::int32_t truncDiv(std::int32_t a, std::int32_t b) { return a / b; }

} // namespace v7300
