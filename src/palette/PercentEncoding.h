// Percent-encoding: a byte written as "%" and two upper-case hexadecimal digits.
#pragma once

#include <string>
#include <string_view>

namespace trelvik {

void appendPercentEncoded(std::string& out, unsigned char byte);

// Every byte outside A-Z a-z 0-9 - . _ ~ (the unreserved characters) as %XX.
std::string percentEncode(std::string_view text);

} // namespace trelvik
