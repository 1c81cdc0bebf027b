#pragma once
#include <string>
#include <string_view>

namespace v7300 {

// MD5 digest (RFC 1321) of the bytes as 32 upper-case hexadecimal digits.
std::string md5HexUpper(std::string_view bytes);

} // namespace v7300
