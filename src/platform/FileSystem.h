// FileSystem: the file operations the launch record needs, behind an interface so tests can
// make any one of them fail and count them.
#pragma once

#include "NativePath.h"

#include <optional>
#include <string>
#include <string_view>

namespace trelvik::platform {

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // True when a file or folder of that name exists.
    virtual bool exists(const NativePath& path) = 0;
    // The whole content of a regular file; none when it cannot be opened or read.
    virtual std::optional<std::string> readAll(const NativePath& path) = 0;
    // True when an existing file may be opened for writing (it is not changed).
    virtual bool writable(const NativePath& path) = 0;
    // Creates or truncates path and writes bytes to stable storage; false on any failure
    // (the file may then be left partly written).
    virtual bool writeFile(const NativePath& path, std::string_view bytes) = 0;
    // Moves from onto to in one step, replacing to; false on failure.
    virtual bool replace(const NativePath& from, const NativePath& to) = 0;
    // Deletes a file if it exists.
    virtual void remove(const NativePath& path) = 0;

    // The operating system's files.
    static FileSystem& system();
};

// Replaces target's content with bytes in one step: a temporary file beside it, then a single
// replace. On failure target is unchanged and the temporary file is gone.
bool writeAtomically(FileSystem& files, const NativePath& target, std::string_view bytes);

} // namespace trelvik::platform
