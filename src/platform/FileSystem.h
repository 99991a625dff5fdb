// FileSystem: the operating system's file primitives, and nothing more. The launch record's
// update is written once above them (RecordFile.cpp); each system's file is a thin translation
// to its own calls. Tests put a fake in between to see every primitive with its argument, refuse
// any of them, or end the process there.
#pragma once

#include "NativePath.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace trelvik::platform {

// How a primitive ended, where more than success or failure matters to the caller.
enum class Outcome {
    Done,
    Missing, // no such file, or a folder on the way does not exist
    Exists,  // the name is taken (exclusive creation, rename without replacing)
    Link,    // the last name of the path is a symbolic link (which open never follows)
    Denied,  // not allowed in this mode; another mode may be
    Failed,  // anything else: the file exists but cannot be reached
};

// What one open handle says of its file, taken when it was opened.
struct FileFacts {
    bool regular = false;    // a regular file: no folder, FIFO, device or socket
    std::uint32_t links = 1; // names of the file (hard links)
    bool writable = false;   // opened for writing, and the file carries write permission
    std::uint64_t size = 0;
};

// A lock on a whole file, between starts that use these same locks.
enum class Lock {
    Shared,    // for reading: others may read, none may rewrite in place
    Exclusive, // for rewriting in place: nobody else may read meanwhile
};

// An open file. Closed, and its lock released, when destroyed.
class OpenFile {
public:
    explicit OpenFile(const FileFacts& facts) : facts_(facts) {}
    virtual ~OpenFile() = default;
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    [[nodiscard]] const FileFacts& facts() const { return facts_; }
    // Bytes from offset into buffer; their count (fewer than asked only at the end), or none.
    virtual std::optional<std::size_t> read(std::uint64_t offset, std::span<char> buffer) = 0;
    // Writes bytes at offset; how many were written (not all, when the system says so), or none.
    virtual std::optional<std::size_t> write(std::uint64_t offset, std::string_view bytes) = 0;
    // Allocates storage for size bytes without changing the file's length; false when the
    // storage cannot be had (a full disk). A file system that cannot reserve reports true.
    virtual bool reserve(std::uint64_t size) = 0;
    // Cuts the file to size bytes.
    virtual bool truncate(std::uint64_t size) = 0;
    // Brings the file's data to stable storage.
    virtual bool sync() = 0;
    // Takes the lock without waiting; false while another handle holds one that conflicts.
    virtual bool tryLock(Lock lock) = 0;
    // Closes now; false when the close reports an error (late write errors surface here).
    virtual bool close() = 0;

private:
    FileFacts facts_;
};

struct Opened {
    std::unique_ptr<OpenFile> file; // null unless outcome is Done
    Outcome outcome = Outcome::Failed;
};

// A folder open for flushing its entries and listing its names.
class Folder {
public:
    virtual ~Folder() = default;
    // Brings the folder's entries (a new name, a rename) to stable storage.
    virtual bool sync() = 0;
    // The names in the folder, without "." and "..", and without asking about any of them.
    virtual std::vector<NativePath> names() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Opens the file at path for reading, and for writing too with forWriting. Never follows a
    // link at the last name (Link), never blocks (a FIFO opens and reports itself not regular).
    virtual Opened open(const NativePath& path, bool forWriting) = 0;
    // The target of the symbolic link at path, as it is written there; none when it cannot be read.
    virtual std::optional<NativePath> readLink(const NativePath& path) = 0;
    // Creates a new, empty file at path for reading and writing; Exists when the name is taken
    // (by anything, a link included).
    virtual Opened createExclusive(const NativePath& path) = 0;
    // Makes the new file `to` what `from` is: owner, group and permissions, the access list and
    // extended attributes exactly (what `to` inherited and `from` lacks is removed) and the file
    // flags on Linux; the security descriptor and attributes on Windows. False when any of it
    // cannot be given.
    virtual bool copyIdentity(OpenFile& from, OpenFile& to) = 0;
    // Gives from the name to, in one step; replacing what is there with replace, otherwise
    // Exists when to is taken.
    virtual Outcome rename(const NativePath& from, const NativePath& to, bool replace) = 0;
    virtual bool remove(const NativePath& path) = 0;
    // The folder at path ("" for the working folder); null when it cannot be opened.
    virtual std::unique_ptr<Folder> openFolder(const NativePath& path) = 0;
    // Seconds since the regular file at path was last written; none for anything else (a link,
    // which is not followed, included).
    virtual std::optional<std::int64_t> ageSeconds(const NativePath& path) = 0;
    virtual void sleep(unsigned milliseconds) = 0;
    // A number that differs between processes and between calls.
    virtual std::uint32_t uniqueNumber() = 0;

    // The operating system's files.
    static FileSystem& system();
};

} // namespace trelvik::platform
