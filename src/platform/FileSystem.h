// FileSystem: the file operations the launch record needs, behind an interface so tests can
// make any one of them fail, count them, or end the process between them.
#pragma once

#include "NativePath.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace trelvik::platform {

// What stands at a path, symbolic links followed.
enum class FileKind {
    Missing, // nothing (or nothing this process can see)
    Regular, // a regular file
    Other,   // a folder, FIFO, device or socket: never opened as a record
};

// A file open for writing; closed (without reporting) when destroyed.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    virtual bool write(std::string_view bytes) = 0;
    // Brings what was written to stable storage.
    virtual bool flush() = 0;
    // Closes now; false when the close reports an error (late write errors surface here).
    virtual bool close() = 0;
};

// A new file of this writer's own, and the writer for it.
struct TemporaryFile {
    NativePath path;
    std::unique_ptr<FileWriter> writer;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Never blocks: a FIFO is reported as Other, not opened.
    virtual FileKind kind(const NativePath& path) = 0;
    // The file a symbolic link at path finally names, so that it is updated in its own folder;
    // path itself when it is no link (or the link cannot be followed).
    virtual NativePath resolve(const NativePath& path) = 0;
    // The whole content of a regular file; none when it cannot be opened or read, or is not a
    // regular file.
    virtual std::optional<std::string> readAll(const NativePath& path) = 0;
    // True when an existing file may be written (it is not changed). A file without any write
    // permission is read-only on purpose, even where the process could override that.
    virtual bool writable(const NativePath& path) = 0;
    // Creates a new, empty file beside target under a name no other writer uses (created
    // exclusively, never an existing file), with target's permissions when target exists.
    virtual std::optional<TemporaryFile> createTemporary(const NativePath& target) = 0;
    // Opens an existing regular file for writing and empties it; null on failure.
    virtual std::unique_ptr<FileWriter> openForRewrite(const NativePath& path) = 0;
    // Moves from onto to in one step, replacing to; false on failure.
    virtual bool replace(const NativePath& from, const NativePath& to) = 0;
    // Deletes a file if it exists.
    virtual void remove(const NativePath& path) = 0;

    // The operating system's files.
    static FileSystem& system();
};

// Gives target the content bytes: through a temporary file of this writer's own that then
// replaces target in one step, so overlapping writers never tear it. Where the folder refuses
// the temporary file or the replace, an existing target is rewritten in place instead. A write
// that fails leaves target as it was and no temporary file behind.
bool replaceContent(FileSystem& files, const NativePath& target, std::string_view bytes, bool targetExists);

} // namespace trelvik::platform
