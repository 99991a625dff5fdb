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
    // The file that a write at path reaches: path itself when it is no symbolic link, otherwise
    // the file the chain of links finally names (which need not exist yet), so that it is written
    // in its own folder and the links stay. None when the links loop or cannot be read.
    virtual std::optional<NativePath> resolve(const NativePath& path) = 0;
    // The whole content of a regular file; none when it cannot be opened or read, or is not a
    // regular file.
    virtual std::optional<std::string> readAll(const NativePath& path) = 0;
    // True when an existing file may be written (it is not changed). A file without any write
    // permission is read-only on purpose, even where the process could override that.
    virtual bool writable(const NativePath& path) = 0;
    // Creates a new, empty file beside target under a short name of fixed length that no other
    // writer uses (created exclusively, never an existing file), ready to replace target. When
    // target exists the file is given what target is: permissions, owner and group (on Windows
    // attributes, owner, group and access list). None when
    // the folder refuses the new entry, or when a replacement could not keep what target is
    // (its owner cannot be given, it has other hard links); target is then written in place.
    virtual std::optional<TemporaryFile> createTemporary(const NativePath& target) = 0;
    // Opens an existing regular file for writing and empties it; null on failure.
    virtual std::unique_ptr<FileWriter> openForRewrite(const NativePath& path) = 0;
    // Creates a file that does not exist yet, exclusively, for writing; null on failure (an
    // existing file or link is never opened).
    virtual std::unique_ptr<FileWriter> createNew(const NativePath& path) = 0;
    // Moves from onto to in one step, replacing to; false on failure.
    virtual bool replace(const NativePath& from, const NativePath& to) = 0;
    // Deletes a file if it exists.
    virtual void remove(const NativePath& path) = 0;

    // The operating system's files.
    static FileSystem& system();
};

// Gives target the content bytes: through a temporary file of this writer's own that then
// replaces target in one step, so overlapping writers never tear it; a write or replace that
// fails there leaves target byte for byte as it was and no temporary file behind. Where no
// temporary file can stand in for target (the folder refuses it, or a replacement would lose
// target's owner or hard links), an existing target is rewritten in place, which a failed write
// leaves emptied or cut short, and a missing one is created in place, exclusively.
bool replaceContent(FileSystem& files, const NativePath& target, std::string_view bytes, bool targetExists);

} // namespace trelvik::platform
