// Launch record starts in a process of their own, for the tests of overlapping starts, of starts
// that die mid-update and of a record another process holds (on every platform, where a test
// cannot fork).
//
// Usage: record_writer LIBRARY STARTS [DIE_AT]
//   Does STARTS starts of the record beside LIBRARY (dated 07.12.2026) and prints each count. With
//   DIE_AT, the process ends at once (no clean-up, as if killed) before the DIE_AT-th system call
//   of the first start: on Windows of the record's Win32 table, elsewhere of its file primitives.
// Usage: record_writer --hold RECORD MILLISECONDS MARKER
//   Holds RECORD as nothing else may touch it (Windows: open without sharing; elsewhere an
//   exclusive lock), creates MARKER, and lets go after MILLISECONDS.
#include "support/SeamFiles.h"

#include <launchrecord/RecordFile.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#if defined(_WIN32)
#include "support/Win32Table.h"
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

int hold(const std::filesystem::path& record, int milliseconds, const std::filesystem::path& marker)
{
#if defined(_WIN32)
    const HANDLE held =
        CreateFileW(record.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        return 1;
    }
#else
    const int held = ::open(record.c_str(), O_RDWR);
    if (held < 0 || ::flock(held, LOCK_EX) != 0) {
        return 1;
    }
#endif
    std::fclose(std::fopen(marker.string().c_str(), "w"));
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
#if defined(_WIN32)
    CloseHandle(held);
#else
    ::close(held);
#endif
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::string(argv[1]) == "--hold") {
        return hold(std::filesystem::u8path(argv[2]), std::atoi(argv[3]), std::filesystem::u8path(argv[4]));
    }
    if (argc < 3) {
        std::fputs("usage: record_writer LIBRARY STARTS [DIE_AT] | --hold RECORD MILLISECONDS MARKER\n", stderr);
        return 2;
    }
    const std::filesystem::path library = std::filesystem::u8path(argv[1]);
    const int starts = std::atoi(argv[2]);
    const long dieAt = argc > 3 ? std::atol(argv[3]) : 0;
    long step = 0;
    const auto dieHere = [&] {
        if (++step == dieAt) {
            std::_Exit(0);
        }
    };
#if defined(_WIN32)
    const testing_support::Win32Table table([&](const testing_support::Win32Call&) {
        dieHere();
        return DWORD{0};
    });
    trelvik::platform::FileSystem& files = trelvik::platform::FileSystem::system();
#else
    testing_support::SeamFiles files([&](const testing_support::SeamFiles::Call&) {
        dieHere();
        return trelvik::platform::Outcome::Done;
    });
#endif
    for (int start = 0; start < starts; ++start) {
        std::printf("%d\n", static_cast<int>(trelvik::advanceLaunchRecord(library.native(), {7, 12, 2026}, files)));
    }
    return 0;
}
