// A library loaded by path into the process, unloaded by RAII: the simulated host loading an
// add-in, and a driver loading the simulated host. UTF-8 paths, on every system.
#pragma once

#include <string>

namespace plumbing {

class DynamicLibrary {
public:
    // Loads exactly the file at path (UTF-8; a relative path from the working folder, never one
    // found by searching). When it cannot, loaded() is false and error() says why.
    explicit DynamicLibrary(const std::string& path);
    ~DynamicLibrary() { unload(); }
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    [[nodiscard]] bool loaded() const { return handle_ != nullptr; }
    // The system's reason the load (or the last lookup) failed.
    [[nodiscard]] const std::string& error() const { return error_; }
    // The address of an exported name, or null (error() says why).
    [[nodiscard]] void* symbol(const char* name);
    // Unloads it now; false when the system kept it mapped (its static objects then live on).
    bool unload();

private:
    std::string path_;
    void* handle_ = nullptr;
    std::string error_;
};

// path made absolute from the working folder (as it is when that fails).
std::string absolutePath(const std::string& path);

// The folder of the running program (UTF-8).
std::string thisProgramsFolder();

} // namespace plumbing
