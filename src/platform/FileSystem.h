// FileSystem: the operating system's file primitives, and nothing more. The launch record's
// update is written once above them (RecordFile.cpp), and every decision lives there; each
// system's file only translates these to its own calls. Tests put a fake in between to see every
// primitive with its argument, refuse any of them, or end the process there.
#pragma once

#include "NativePath.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace trelvik::platform {

// How a primitive ended: Missing (no such file or folder), Denied (not in this mode; another
// may be), Busy (held for a moment by someone else: another start, a scanner, an indexer), NoRoom
// (the disk or the quota full), Unsupported (a file system without the feature), Failed.
enum class Outcome { Done, Missing, Denied, Busy, NoRoom, Unsupported, Failed };

// Create: read-write, made empty when missing, its owner's alone (on Windows with the rights of its
// folder); it never truncates or replaces what is there.
enum class Access { Read, ReadWrite, Create };

// What the open handle says of its file, taken when it was opened.
struct FileFacts {
    bool regular = false;        // a regular file: no folder, FIFO or device
    bool markedReadOnly = false; // its owner took every write permission away (or set read-only)
    std::uint64_t size = 0;
};

// A lock on the whole file, between handles that use these same locks.
enum class Lock { Shared, Exclusive };

// What the file system says of its space.
struct Room {
    std::uint64_t available = 0; // bytes it can still give this file
    std::uint64_t total = 0;     // its size; 0 where it reports none (ramfs, some FUSE file systems)
    std::uint64_t block = 4096;  // the unit it gives space in
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
    // Writes bytes at offset; how many were written (fewer when the system says so), or none.
    virtual std::optional<std::size_t> write(std::uint64_t offset, std::string_view bytes) = 0;
    // Allocates storage for the first size bytes without changing the file's length.
    virtual Outcome reserve(std::uint64_t size) = 0;
    // What the file system says of its space; none when it cannot be asked.
    virtual std::optional<Room> room() = 0;
    virtual bool truncate(std::uint64_t size) = 0;
    // Brings the file's data to stable storage.
    virtual bool sync() = 0;
    // Takes the lock without waiting: Busy while another handle holds one that conflicts,
    // Unsupported where the file system has no locks.
    virtual Outcome tryLock(Lock lock) = 0;

private:
    FileFacts facts_;
};

struct Opened {
    std::unique_ptr<OpenFile> file; // null unless outcome is Done
    Outcome outcome = Outcome::Failed;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Opens the file at path, links followed as the system follows them; never blocks (a FIFO
    // opens and reports itself not regular).
    virtual Opened open(const NativePath& path, Access access) = 0;
    // Brings the entries of the folder holding path (a new name) to stable storage.
    virtual bool syncFolder(const NativePath& path) = 0;
    virtual void sleep(unsigned milliseconds) = 0;

    // The operating system's files.
    static FileSystem& system();
};

} // namespace trelvik::platform
