// The simulated host's library, loaded by path for as long as a HostLibrary lives, and its one
// table of functions (simhost.h). Part of the C++ wrapper of the C entry (Session.h).
#pragma once

#include "Types.h"
#include "simhost.h"

#include <DynamicLibrary.h>

#include <filesystem>
#include <string>

namespace simhost {

class HostLibrary {
public:
#if defined(_WIN32)
    static constexpr const char* fileName = "simhost.dll";
#else
    static constexpr const char* fileName = "libsimhost.so";
#endif

    // The library beside the running program, where the build puts it.
    static std::filesystem::path besideThisProgram()
    {
        const std::string folder = plumbing::thisProgramsFolder();
        return std::filesystem::path(std::u8string(folder.begin(), folder.end())) / fileName;
    }

    // Throws LoadError when the library cannot be loaded or has no table of this version.
    explicit HostLibrary(const std::filesystem::path& path = besideThisProgram())
        : library_(utf8(path)), api_(tableOf(library_))
    {
        if (api_ == nullptr) {
            throw LoadError("cannot use the simulated host '" + utf8(path) + "': " + reason_);
        }
    }

    [[nodiscard]] const simhost_api& api() const { return *api_; }

private:
    static std::string utf8(const std::filesystem::path& path)
    {
        const std::u8string text = path.u8string();
        return {text.begin(), text.end()};
    }
    const simhost_api* tableOf(plumbing::DynamicLibrary& library)
    {
        void* entry = library.loaded() ? library.symbol(SIMHOST_ENTRY_NAME) : nullptr;
        const simhost_api* api =
            entry != nullptr ? reinterpret_cast<simhost_entry_function>(entry)(SIMHOST_API_VERSION) : nullptr;
        if (api == nullptr || api->size < sizeof(simhost_api)) {
            reason_ = entry == nullptr ? library.error() : "its table is of another version";
            library.unload();
            return nullptr;
        }
        return api;
    }

    std::string reason_; // why there is no table (before the library, which tableOf fills it from)
    plumbing::DynamicLibrary library_;
    const simhost_api* api_;
};

} // namespace simhost
