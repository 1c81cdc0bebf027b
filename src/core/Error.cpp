#include "core/Error.h"

#include <new>
#include <stdexcept>

namespace v7300 {

std::string userMessage(const std::exception& e) {
    if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr || dynamic_cast<const std::length_error*>(&e) != nullptr)
        return kOutOfMemoryMessage;
    return e.what();
}

std::string formatMessage(const std::string& pattern, const std::string& value) {
    const auto pos = pattern.find("%s");
    if (pos == std::string::npos) return pattern;
    return pattern.substr(0, pos) + value + pattern.substr(pos + 2);
}

} // namespace v7300
