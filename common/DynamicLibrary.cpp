#include "DynamicLibrary.h"

#include "Utf8.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace plumbing {

namespace {

#if defined(_WIN32)
std::wstring widen(const std::string& text)
{
    const std::u16string wide = utf8ToUtf16(text);
    return {wide.begin(), wide.end()};
}
std::string narrow(const std::wstring& text) { return utf16ToUtf8(std::u16string(text.begin(), text.end())); }

std::string systemError() { return "Windows error " + std::to_string(GetLastError()); }

// LoadLibraryW with a path that has a folder loads exactly that file.
void* open(const std::string& path) { return LoadLibraryW(widen(path).c_str()); }
void* find(void* handle, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void close(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }
bool stillLoaded(const std::string& path)
{
    HMODULE module = nullptr;
    return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, widen(path).c_str(), &module) != 0;
}
#else
std::string systemError()
{
    const char* error = dlerror();
    return error != nullptr ? error : "unknown error";
}

// A name without a slash would be searched for: "./" keeps it the file in the working folder.
std::string unsearched(const std::string& path) { return path.find('/') == std::string::npos ? "./" + path : path; }
void* open(const std::string& path) { return dlopen(unsearched(path).c_str(), RTLD_NOW | RTLD_LOCAL); }
void* find(void* handle, const char* name) { return dlsym(handle, name); }
void close(void* handle) { dlclose(handle); }
bool stillLoaded(const std::string& path)
{
    void* handle = dlopen(unsearched(path).c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle != nullptr) {
        dlclose(handle);
    }
    return handle != nullptr;
}
#endif

} // namespace

DynamicLibrary::DynamicLibrary(const std::string& path) : path_(path), handle_(open(path))
{
    if (handle_ == nullptr) {
        error_ = systemError();
    }
}

void* DynamicLibrary::symbol(const char* name)
{
    void* found = handle_ != nullptr ? find(handle_, name) : nullptr;
    if (found == nullptr) {
        error_ = systemError();
    }
    return found;
}

bool DynamicLibrary::unload()
{
    if (handle_ == nullptr) {
        return true;
    }
    close(handle_);
    handle_ = nullptr;
    return !stillLoaded(path_);
}

std::string absolutePath(const std::string& path)
{
#if defined(_WIN32)
    const std::wstring given = widen(path);
    std::wstring full(GetFullPathNameW(given.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD length = GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size()) {
        return path;
    }
    full.resize(length);
    return narrow(full);
#else
    if (!path.empty() && path.front() == '/') {
        return path;
    }
    std::string folder(4096, '\0');
    if (getcwd(folder.data(), folder.size()) == nullptr) {
        return path;
    }
    folder.resize(std::char_traits<char>::length(folder.c_str()));
    return folder + "/" + path;
#endif
}

std::string thisProgramsFolder()
{
#if defined(_WIN32)
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    const std::string program = narrow(self);
    return program.substr(0, program.find_last_of("\\/"));
#else
    std::string self(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", self.data(), self.size());
    self.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return self.substr(0, self.find_last_of('/'));
#endif
}

} // namespace plumbing
