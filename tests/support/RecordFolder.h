// A scratch folder with an add-in library's name in it and the launch record beside it, for the
// record's tests on every platform.
#pragma once

#include "TestPaths.h"

#include <launchrecord/RecordFile.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// Every test start is dated this day.
inline constexpr trelvik::platform::LocalDate recordDay{7, 12, 2026};
inline const std::string dateLine = "07.12.2026\r\n";

struct RecordFolder {
    ScratchFolder scratch{"record"};
    std::filesystem::path library = scratch.path() / "TrelvikDizivoro360.dll";
    std::filesystem::path record = scratch.path() / "TrelvikDizivoro360_Info.txt";

    std::int32_t start(trelvik::platform::FileSystem& files = trelvik::platform::FileSystem::system()) const
    {
        return trelvik::advanceLaunchRecord(library.native(), recordDay, files);
    }
    // The folder's entries, sorted.
    [[nodiscard]] std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(scratch.path())) {
            found.push_back(entry.path().filename().string());
        }
        std::sort(found.begin(), found.end());
        return found;
    }
    // True when the record is all the folder holds.
    [[nodiscard]] bool alone() const { return names() == std::vector<std::string>{"TrelvikDizivoro360_Info.txt"}; }
};

// Whether the system's files reserve space here (Wine's do not).
inline bool systemReservesSpace()
{
    const ScratchFolder folder("reserve");
    const auto opened = trelvik::platform::FileSystem::system().open((folder.path() / "probe").native(),
                                                                     trelvik::platform::Access::Create);
    return opened.file != nullptr && opened.file->reserve(4096) == trelvik::platform::Outcome::Done;
}

} // namespace testing_support
