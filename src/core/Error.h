#pragma once
// The one error type of the program: it carries the German message text that
// the caller who knows the context shows (or replaces by its own message).
#include <stdexcept>
#include <string>

namespace v7300 {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// A text that is no number or truth value where one is required (the platform's
// conversion error).
class ConversionError : public Error {
public:
    using Error::Error;
};

// The text shown for running out of memory, instead of the library's English name for it.
inline constexpr const char* kOutOfMemoryMessage = "Zu wenig Arbeitsspeicher";

// The text to show the user for an exception: its message, except for exhausted
// memory (std::bad_alloc, and std::length_error for an impossible size), which
// gets kOutOfMemoryMessage.
std::string userMessage(const std::exception& e);

// Replaces the first "%s" of a message pattern.
std::string formatMessage(const std::string& pattern, const std::string& value);

} // namespace v7300
