#pragma once
// The program's version and edition word.
namespace v7300 {
inline constexpr const char* kVersion = "2.2.2";
inline constexpr const char* kEdition = "BETA";
inline constexpr const char* kApplicationTitle = "V7300 - Logik (BETA)";
} // namespace v7300
