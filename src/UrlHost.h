// The host and port of an http or https URL, checked the way a browser's URL parser reads them
// for these schemes, but stricter where that costs nothing: a host we accept is one the browser
// accepts and names the same host.
#pragma once

#include <string_view>

namespace trelvik {

// A domain (labels of ASCII letters, digits and '-', or letters from the Latin, Cyrillic, Greek
// and CJK blocks that browsers convert to punycode; no empty label but an optional final one),
// a valid IPv4 address in any form browsers read (when the last label is numeric: at most four
// parts, decimal, octal or hex, each in range), or an IPv6 address in brackets. Never a '%'.
bool isValidUrlHost(std::string_view host);

// The IPv6 text between the brackets, in any of its valid textual forms (no zone).
bool isValidIpv6(std::string_view text);

// Digits only, 0 to 65535; empty is allowed.
bool isValidUrlPort(std::string_view port);

} // namespace trelvik
