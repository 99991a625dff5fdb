#include "AddinLibrary.h"

#include <simhost/Types.h>

namespace simhost {

// An absolute path, so the system loads exactly this file rather than searching for the name.
AddinLibrary::AddinLibrary(const std::string& path) : path_(plumbing::absolutePath(path)), library_(path_)
{
    if (!library_.loaded()) {
        throw LoadError("cannot load '" + path + "': " + library_.error());
    }
    run_ = reinterpret_cast<EntryPoint>(library_.symbol("run"));
    stop_ = reinterpret_cast<EntryPoint>(library_.symbol("stop"));
    const char* missing = run_ == nullptr ? "run" : stop_ == nullptr ? "stop" : nullptr;
    if (missing != nullptr) {
        library_.unload();
        throw LoadError("'" + path + "' does not export the required '" + missing + "' function");
    }
}

AddinLibrary::~AddinLibrary() = default;

bool AddinLibrary::unload()
{
    run_ = stop_ = nullptr;
    return library_.unload();
}

} // namespace simhost
