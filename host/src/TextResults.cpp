#include "TextResults.h"

#include <Core/CoreAll.h>

#include <cstring>
#include <memory>

namespace simhost {

char* textResult(const std::string& text)
{
    auto array = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(array.get(), text.c_str(), text.size() + 1);
    return array.release();
}

} // namespace simhost

namespace adsk::core {

void DeallocateArrayInternal(char* array)
{
    // Arrays come from simhost::textResult, which allocates them as char[].
    std::unique_ptr<char[]> owner(array);
}

} // namespace adsk::core
