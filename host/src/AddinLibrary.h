// AddinLibrary: an add-in library loaded into the process, unloaded by RAII.
#pragma once

#include <filesystem>

namespace simhost {

class AddinLibrary {
public:
    using EntryPoint = bool (*)(const char* context);

    // Loads the library and resolves run and stop; throws LoadError naming the file and the
    // missing symbol.
    explicit AddinLibrary(const std::filesystem::path& path);
    ~AddinLibrary();
    AddinLibrary(const AddinLibrary&) = delete;
    AddinLibrary& operator=(const AddinLibrary&) = delete;

    [[nodiscard]] EntryPoint run() const { return run_; }
    [[nodiscard]] EntryPoint stop() const { return stop_; }
    // True while the library's static objects are being destroyed.
    [[nodiscard]] bool unloading() const { return unloading_; }
    // Unloads now; returns false when the system kept the library mapped (its static objects
    // were then not destroyed).
    bool unload();

private:
    std::filesystem::path path_;
    void* handle_ = nullptr;
    EntryPoint run_ = nullptr;
    EntryPoint stop_ = nullptr;
    bool unloading_ = false;
};

} // namespace simhost
