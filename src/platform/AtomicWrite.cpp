#include "FileSystem.h"

namespace trelvik::platform {

bool writeAtomically(FileSystem& files, const std::filesystem::path& target, std::string_view bytes)
{
    // Same folder, so the replace is a rename within one file system.
    std::filesystem::path temporary = target;
    temporary += ".tmp";
    if (!files.writeFile(temporary, bytes) || !files.replace(temporary, target)) {
        files.remove(temporary);
        return false;
    }
    return true;
}

} // namespace trelvik::platform
