#include "HandlerName.h"

#include <cstdlib>
#include <memory>
#include <typeinfo>

#if __has_include(<cxxabi.h>)
#include <cxxabi.h>
#endif

namespace simhost {

namespace {

std::string demangle(const char* name)
{
#if __has_include(<cxxabi.h>)
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
    std::string name = demangle(typeid(handler).name());
    if (const std::size_t space = name.rfind(' '); space != std::string::npos) {
        name.erase(0, space + 1); // "class x::Y" where names come undecorated
    }
    if (const std::size_t scope = name.rfind("::"); scope != std::string::npos) {
        name.erase(0, scope + 2);
    }
    return name;
}

} // namespace simhost
