// One start's launch record step in a process of its own, for the tests of overlapping starts
// and of writers that die mid-update (on every platform, where a test cannot fork).
//
// Usage: record_writer LIBRARY STARTS [DIE_AT]
//   Does STARTS starts of the record beside LIBRARY (dated 07.12.2026) and prints each count. With
//   DIE_AT, the process ends at once (no clean-up, as if killed) before the DIE_AT-th file primitive
//   of the first start.
#include "support/SeamFiles.h"

#include <LaunchRecord.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs("usage: record_writer LIBRARY STARTS [DIE_AT]\n", stderr);
        return 2;
    }
    const std::filesystem::path library = std::filesystem::u8path(argv[1]);
    const int starts = std::atoi(argv[2]);
    const long dieAt = argc > 3 ? std::atol(argv[3]) : 0;
    long step = 0;
    testing_support::SeamFiles files([&](const testing_support::SeamFiles::Call&) {
        if (++step == dieAt) {
            std::_Exit(0);
        }
        return true;
    });
    for (int start = 0; start < starts; ++start) {
        std::printf("%d\n", static_cast<int>(trelvik::advanceLaunchRecord(library.native(), {7, 12, 2026}, files)));
    }
    return 0;
}
