#include "AddinLibrary.h"

#include <simhost/Session.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <string>

namespace simhost {

namespace {

#if defined(_WIN32)
std::string lastError() { return "Windows error " + std::to_string(GetLastError()); }

void* openLibrary(const std::filesystem::path& path) { return LoadLibraryW(path.c_str()); }

void* findSymbol(void* handle, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void closeLibrary(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }

bool stillLoaded(const std::filesystem::path& path)
{
    HMODULE module = nullptr;
    return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, path.c_str(), &module) != 0;
}
#else
std::string lastError()
{
    const char* error = dlerror();
    return error != nullptr ? error : "unknown error";
}

void* openLibrary(const std::filesystem::path& path) { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }

void* findSymbol(void* handle, const char* name) { return dlsym(handle, name); }

void closeLibrary(void* handle) { dlclose(handle); }

bool stillLoaded(const std::filesystem::path& path)
{
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle != nullptr) {
        dlclose(handle);
        return true;
    }
    return false;
}
#endif

} // namespace

// An absolute path, so the system loads exactly this file rather than searching for the name.
AddinLibrary::AddinLibrary(const std::filesystem::path& path)
    : path_(std::filesystem::absolute(path)), handle_(openLibrary(path_))
{
    if (handle_ == nullptr) {
        throw LoadError("cannot load '" + path.string() + "': " + lastError());
    }
    run_ = reinterpret_cast<EntryPoint>(findSymbol(handle_, "run"));
    stop_ = reinterpret_cast<EntryPoint>(findSymbol(handle_, "stop"));
    const char* missing = run_ == nullptr ? "run" : stop_ == nullptr ? "stop" : nullptr;
    if (missing != nullptr) {
        closeLibrary(handle_);
        handle_ = nullptr;
        throw LoadError("'" + path.string() + "' does not export the required '" + missing + "' function");
    }
}

AddinLibrary::~AddinLibrary() { unload(); }

bool AddinLibrary::unload()
{
    if (handle_ == nullptr) {
        return true;
    }
    unloading_ = true;
    closeLibrary(handle_);
    handle_ = nullptr;
    run_ = stop_ = nullptr;
    const bool gone = !stillLoaded(path_);
    unloading_ = false;
    return gone;
}

} // namespace simhost
