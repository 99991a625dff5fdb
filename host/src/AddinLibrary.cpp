#include "AddinLibrary.h"

#include <simhost/Types.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

#include <string>

namespace simhost {

namespace {

#if defined(_WIN32)
std::string lastError() { return "Windows error " + std::to_string(GetLastError()); }

std::wstring widen(const std::string& text)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string narrow(const std::wstring& text)
{
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size, nullptr, nullptr);
    return utf8;
}

std::string absoluteFrom(const std::string& path)
{
    const std::wstring given = widen(path);
    std::wstring full(GetFullPathNameW(given.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD length = GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size()) {
        return path;
    }
    full.resize(length);
    return narrow(full);
}

void* openLibrary(const std::string& path) { return LoadLibraryW(widen(path).c_str()); }

void* findSymbol(void* handle, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void closeLibrary(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }

bool stillLoaded(const std::string& path)
{
    HMODULE module = nullptr;
    return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, widen(path).c_str(), &module) != 0;
}
#else
std::string lastError()
{
    const char* error = dlerror();
    return error != nullptr ? error : "unknown error";
}

std::string absoluteFrom(const std::string& path)
{
    if (!path.empty() && path.front() == '/') {
        return path;
    }
    std::string folder(4096, '\0');
    if (getcwd(folder.data(), folder.size()) == nullptr) {
        return path;
    }
    folder.resize(std::char_traits<char>::length(folder.c_str()));
    return folder + "/" + path;
}

void* openLibrary(const std::string& path) { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }

void* findSymbol(void* handle, const char* name) { return dlsym(handle, name); }

void closeLibrary(void* handle) { dlclose(handle); }

bool stillLoaded(const std::string& path)
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
AddinLibrary::AddinLibrary(const std::string& path) : path_(absoluteFrom(path)), handle_(openLibrary(path_))
{
    if (handle_ == nullptr) {
        throw LoadError("cannot load '" + path + "': " + lastError());
    }
    run_ = reinterpret_cast<EntryPoint>(findSymbol(handle_, "run"));
    stop_ = reinterpret_cast<EntryPoint>(findSymbol(handle_, "stop"));
    const char* missing = run_ == nullptr ? "run" : stop_ == nullptr ? "stop" : nullptr;
    if (missing != nullptr) {
        closeLibrary(handle_);
        handle_ = nullptr;
        throw LoadError("'" + path + "' does not export the required '" + missing + "' function");
    }
}

AddinLibrary::~AddinLibrary() { unload(); }

bool AddinLibrary::unload()
{
    if (handle_ == nullptr) {
        return true;
    }
    closeLibrary(handle_);
    handle_ = nullptr;
    run_ = stop_ = nullptr;
    return !stillLoaded(path_);
}

} // namespace simhost
