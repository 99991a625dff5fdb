// FileSystem: the file operations the launch record needs, behind an interface so tests can
// make any one of them fail, count them, or end the process between them.
#pragma once

#include "NativePath.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// A lock on a whole file, between starts (processes) that use these same locks.
enum class Lock {
    Shared,    // for reading: others may read, none may rewrite in place
    Exclusive, // for reading and rewriting in place: nobody else may read meanwhile
};

// An existing regular file opened by this start: read, and (when opened for writing) rewritten
// in place, through one handle, which can hold a lock. Closed, and its lock released, when
// destroyed.
class OpenFile {
public:
    virtual ~OpenFile() = default;
    // Takes the lock without waiting; false while another start holds one that conflicts.
    virtual bool tryLock(Lock lock) = 0;
    // The whole content from the start; none when a read fails, also part way through.
    virtual std::optional<std::string> readAll() = 0;
    // Empties the file and writes bytes from its start, flushed to stable storage; false on failure
    // (the file is then emptied or cut short). Only for a file opened for writing.
    virtual bool rewrite(std::string_view bytes) = 0;
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
    // Opens an existing regular file for reading, and for writing too when forWriting; null when
    // it cannot be opened so or is no regular file. Never blocks.
    virtual std::unique_ptr<OpenFile> open(const NativePath& path, bool forWriting) = 0;
    // True when an existing file may be written (it is not changed). A file without any write
    // permission is read-only on purpose, even where the process could override that.
    virtual bool writable(const NativePath& path) = 0;
    // Creates a new, empty file beside target under a short name of fixed length that no other
    // writer uses (created exclusively, never an existing file), ready to replace target. When
    // target exists the file is given what target is: permissions, owner and group (on Windows
    // attributes, owner, group and access list; on Linux every extended attribute it can read,
    // its access list among them). None when
    // the folder refuses the new entry, or when a replacement could not keep what target is
    // (its owner cannot be given, it has other hard links, an extended attribute or access list
    // entry of it cannot be set); target is then written in place.
    virtual std::optional<TemporaryFile> createTemporary(const NativePath& target) = 0;
    // Creates a file that does not exist yet, exclusively, for writing; null on failure (an
    // existing file or link is never opened).
    virtual std::unique_ptr<FileWriter> createNew(const NativePath& path) = 0;
    // Moves from onto to in one step, replacing to; false on failure.
    virtual bool replace(const NativePath& from, const NativePath& to) = 0;
    // Deletes a file if it exists.
    virtual void remove(const NativePath& path) = 0;
    // Brings the entries of the folder holding file (a rename, a new file) to stable storage.
    virtual void flushFolder(const NativePath& file) = 0;
    // The regular files (no links, folders or others) beside file whose last write lies at least
    // seconds in the past, by their full paths.
    virtual std::vector<NativePath> filesOlderThan(const NativePath& file, std::int64_t seconds) = 0;
    // Waits for the given time (between attempts at a lock).
    virtual void pause(unsigned milliseconds) = 0;

    // The operating system's files.
    static FileSystem& system();
};

// Creates the missing file target with the content bytes: through a temporary file of this
// writer's own that then takes target's name in one step, or, where the folder refuses a
// temporary file, in place, exclusively. A write that fails leaves no file at all. The folder is
// flushed after the new name is in place. False when target was not created.
bool createContent(FileSystem& files, const NativePath& target, std::string_view bytes);

// One start's edit of an existing regular file: read under a lock, then given new content.
//
// Where a temporary file can stand in for target (see createTemporary), the content is read under
// a shared lock and later replaced in one step: a write or replace that fails leaves target byte
// for byte as it was and no temporary file behind. Otherwise target is read and rewritten in
// place under one exclusive lock held from the read to the end of the rewrite, so no other start
// reads it half written. Locks are taken without waiting and retried for a short, bounded time
// (pausing lockPauses times, at most lockWaitMilliseconds in all); a start that cannot have the
// exclusive lock counts from what it reads under a shared one and writes nothing.
class FileEdit {
public:
    // Opens and reads target; none when it cannot be opened or read, or no lock can be had.
    // writable: whether target may be written at all.
    static std::optional<FileEdit> begin(FileSystem& files, const NativePath& target, bool writable);

    [[nodiscard]] const std::string& content() const { return content_; }
    // Gives target the content bytes as described above; false when target stays as it was (or,
    // in place, when the write failed). At most once.
    bool commit(std::string_view bytes);

    FileEdit(FileEdit&& other) noexcept;
    FileEdit& operator=(FileEdit&&) = delete;
    FileEdit(const FileEdit&) = delete;
    FileEdit& operator=(const FileEdit&) = delete;
    ~FileEdit();

private:
    FileEdit(FileSystem& files, NativePath target) : files_(&files), target_(std::move(target)) {}

    FileSystem* files_;
    NativePath target_;
    std::optional<TemporaryFile> temporary_; // the atomic path's stand-in
    std::unique_ptr<OpenFile> file_;         // the in-place path's handle, holding its exclusive lock
    std::string content_;
    bool mayWrite_ = false;
};

// How long a start tries for a lock: this many pauses, doubling from 1 ms.
inline constexpr unsigned lockPauses = 5;
inline constexpr unsigned lockWaitMilliseconds = (1U << lockPauses) - 1U; // 31 ms

// Temporary files of this writer's pattern beside target that a start which died left behind:
// only exact names of the pattern, only ones old enough that no live start can still own them.
inline constexpr std::int64_t staleTemporarySeconds = 300;
bool isTemporaryName(std::basic_string_view<PathChar> fileName);
void removeStaleTemporaries(FileSystem& files, const NativePath& target);

} // namespace trelvik::platform
