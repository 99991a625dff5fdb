// The host and port of an http or https URL, checked the way a browser's URL parser splits and
// reads them for these schemes: a host we accept is never read by the browser as another one.
#pragma once

#include <string_view>

namespace trelvik {

// A name in any script, form (Unicode or punycode) and letter case, without the URL Standard's
// forbidden domain code points of ASCII ('%' among them); when its last label is a number, a
// valid IPv4 address in any form browsers read (at most four parts, decimal, octal or hex, each
// in range); or an IPv6 address in brackets. Not empty. Characters beyond ASCII are not looked
// at here: the link check refuses the unsafe ones everywhere, and whether a name exists is the
// browser's call.
bool isValidUrlHost(std::string_view host);

// The IPv6 text between the brackets, in any of its valid textual forms (no zone).
bool isValidIpv6(std::string_view text);

// Digits only, 0 to 65535; empty is allowed.
bool isValidUrlPort(std::string_view port);

} // namespace trelvik
