#include "HandlerName.h"

#include <cstdlib>
#include <memory>
#include <typeinfo>

// The Microsoft ABI has no __cxa_demangle (its names are read as they are, below).
#if __has_include(<cxxabi.h>) && !defined(_MSC_VER)
#define SIMHOST_DEMANGLES 1
#include <cxxabi.h>
#endif

namespace simhost {

namespace {

std::string demangle(const char* name)
{
#if defined(SIMHOST_DEMANGLES)
    int status = 0;
    // NOLINTNEXTLINE(cppcoreguidelines-no-malloc): the demangler allocates with malloc
    const std::unique_ptr<char, void (*)(void*)> readable(abi::__cxa_demangle(name, nullptr, nullptr, &status),
                                                          std::free);
    if (status == 0 && readable) {
        return readable.get();
    }
#endif
    return name;
}

} // namespace

std::string handlerClassName(const adsk::core::EventHandler& handler)
{
    const char* given = typeid(handler).name();
    // Without a demangler in the Microsoft ABI, the decorated name: ".?AVName@Scope@@".
    if (const std::string decorated = given; decorated.rfind(".?A", 0) == 0 && decorated.size() > 4) {
        return decorated.substr(4, decorated.find('@') - 4);
    }
    std::string name = demangle(given);
    if (const std::size_t space = name.rfind(' '); space != std::string::npos) {
        name.erase(0, space + 1); // "class x::Y" where names come undecorated
    }
    if (const std::size_t scope = name.rfind("::"); scope != std::string::npos) {
        name.erase(0, scope + 2);
    }
    return name;
}

} // namespace simhost
