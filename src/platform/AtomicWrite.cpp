#include "FileSystem.h"

namespace trelvik::platform {

bool writeAtomically(FileSystem& files, const NativePath& target, std::string_view bytes)
{
    // Same folder, so the replace is a rename within one file system.
    const NativePath temporary = target + asciiPath(".tmp");
    if (!files.writeFile(temporary, bytes) || !files.replace(temporary, target)) {
        files.remove(temporary);
        return false;
    }
    return true;
}

} // namespace trelvik::platform
