#include "TestPaths.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace testing_support {

std::filesystem::path binaryDirectory()
{
#if defined(_WIN32)
    std::wstring buffer(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(length);
    return std::filesystem::path(buffer).parent_path();
#else
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
#endif
}

std::filesystem::path addinLibrary()
{
#if defined(_WIN32)
    return binaryDirectory() / "TrelvikDizivoro360.dll";
#else
    return binaryDirectory() / "TrelvikDizivoro360.so";
#endif
}

namespace {
std::filesystem::path program(const std::string& name)
{
#if defined(_WIN32)
    return binaryDirectory() / (name + ".exe");
#else
    return binaryDirectory() / name;
#endif
}
} // namespace

std::filesystem::path hostsimProgram() { return program("hostsim"); }

std::filesystem::path recordWriterProgram() { return program("record_writer"); }

ScratchFolder::ScratchFolder(const std::string& hint)
{
    static std::atomic<int> counter{0};
    std::random_device entropy;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        path_ = base / ("trelvik-" + hint + "-" + std::to_string(entropy()) + "-" + std::to_string(counter++));
        if (std::filesystem::create_directories(path_)) {
            return;
        }
    }
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string readBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace testing_support
