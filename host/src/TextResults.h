// Text as host operations return it: a host-allocated array that the add-in frees with
// DeallocateArrayInternal.
#pragma once

#include <string>

namespace simhost {

char* textResult(const std::string& text);

} // namespace simhost
