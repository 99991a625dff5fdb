// AddinLibrary: an add-in library loaded into the process, unloaded by RAII.
#pragma once

#include <DynamicLibrary.h>

#include <string>

namespace simhost {

class AddinLibrary {
public:
    using EntryPoint = bool (*)(const char* context);

    // Loads the library at that UTF-8 path (relative ones from the working folder) and resolves
    // run and stop; throws LoadError naming the file and the missing symbol.
    explicit AddinLibrary(const std::string& path);
    ~AddinLibrary();
    AddinLibrary(const AddinLibrary&) = delete;
    AddinLibrary& operator=(const AddinLibrary&) = delete;

    [[nodiscard]] const std::string& absolutePath() const { return path_; }
    [[nodiscard]] EntryPoint run() const { return run_; }
    [[nodiscard]] EntryPoint stop() const { return stop_; }
    // Unloads now; returns false when the system kept the library mapped (its static objects
    // were then not destroyed).
    bool unload();

private:
    std::string path_;
    plumbing::DynamicLibrary library_;
    EntryPoint run_ = nullptr;
    EntryPoint stop_ = nullptr;
};

} // namespace simhost
