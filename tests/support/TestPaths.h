// Where the tests find the built binaries and make their scratch folders.
#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

// The folder of the running test executable; the build puts every binary there.
std::filesystem::path binaryDirectory();

// The built add-in library.
std::filesystem::path addinLibrary();
// The built hostsim program.
std::filesystem::path hostsimProgram();
// The test helper that does launch record starts in a process of its own.
std::filesystem::path recordWriterProgram();

// A new empty folder under the system's temporary folder, removed by the destructor.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& hint = "t");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Reads a whole file as bytes ("" when missing).
std::string readBytes(const std::filesystem::path& file);
void writeBytes(const std::filesystem::path& file, const std::string& bytes);

} // namespace testing_support
