#include "FileSystem.h"

#include <algorithm>
#include <utility>

namespace trelvik::platform {

namespace {

// Everything written and flushed to stable storage before the file is closed: a replace must
// never publish bytes that a crash could still lose.
bool writeAll(FileWriter& writer, std::string_view bytes)
{
    const bool written = writer.write(bytes) && writer.flush();
    return writer.close() && written;
}

// Takes the lock, trying again after short pauses while another start holds a conflicting one.
// Bounded: run is on the host's user-interface thread and must never wait for long.
bool acquire(FileSystem& files, OpenFile& file, Lock lock)
{
    for (unsigned attempt = 0;; ++attempt) {
        if (file.tryLock(lock)) {
            return true;
        }
        if (attempt == lockPauses) {
            return false;
        }
        files.pause(1U << attempt);
    }
}

bool isLowerHexDigit(PathChar c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

} // namespace

bool createContent(FileSystem& files, const NativePath& target, std::string_view bytes)
{
    if (std::optional<TemporaryFile> temporary = files.createTemporary(target)) {
        const bool written = writeAll(*temporary->writer, bytes);
        temporary->writer.reset();
        if (written && files.replace(temporary->path, target)) {
            files.flushFolder(target);
            return true;
        }
        files.remove(temporary->path);
        // A disk that refused the bytes would fail an in-place write as well, and leave an empty
        // record that the next start could not date.
        if (!written) {
            return false;
        }
    }
    // Nothing old to keep: created exclusively, so a record another start made meanwhile is
    // never truncated.
    const std::unique_ptr<FileWriter> writer = files.createNew(target);
    if (writer == nullptr) {
        return false;
    }
    const bool written = writeAll(*writer, bytes);
    files.flushFolder(target);
    return written;
}

std::optional<FileEdit> FileEdit::begin(FileSystem& files, const NativePath& target, bool writable)
{
    FileEdit edit(files, target);
    if (writable) {
        edit.temporary_ = files.createTemporary(target);
    }
    const bool inPlace = writable && !edit.temporary_;
    std::unique_ptr<OpenFile> file = files.open(target, inPlace);
    if (file == nullptr) {
        return std::nullopt; // the destructor removes a temporary file
    }
    edit.mayWrite_ = writable;
    if (!acquire(files, *file, inPlace ? Lock::Exclusive : Lock::Shared)) {
        // Held by another start. A reader's shared lock still lets us read and count (an increment
        // lost); an in-place writer's exclusive one lets us do nothing at all.
        if (!inPlace || !file->tryLock(Lock::Shared)) {
            return std::nullopt;
        }
        edit.mayWrite_ = false;
    }
    std::optional<std::string> content = file->readAll();
    if (!content) {
        return std::nullopt;
    }
    edit.content_ = std::move(*content);
    // In place, the lock is held until the rewrite is done. On the atomic path the record is
    // closed now: a file still open cannot be replaced everywhere (Windows refuses it).
    if (inPlace && edit.mayWrite_) {
        edit.file_ = std::move(file);
    }
    return edit;
}

FileEdit::FileEdit(FileEdit&& other) noexcept
    : files_(other.files_), target_(std::move(other.target_)), temporary_(std::exchange(other.temporary_, {})),
      file_(std::move(other.file_)), content_(std::move(other.content_)),
      mayWrite_(std::exchange(other.mayWrite_, false))
{
}

bool FileEdit::commit(std::string_view bytes)
{
    if (!mayWrite_) {
        return false;
    }
    mayWrite_ = false;
    if (file_ != nullptr) {
        const bool written = file_->rewrite(bytes);
        file_.reset();
        return written;
    }
    if (!temporary_) {
        return false;
    }
    const bool written = writeAll(*temporary_->writer, bytes);
    temporary_->writer.reset();
    // A record that stays as it was is whole: neither a disk that refused the bytes (full, say)
    // nor a replace refused while another start holds the record open is a reason to rewrite it
    // in place, where an overlapping reader could see it half written.
    if (written && files_->replace(temporary_->path, target_)) {
        temporary_.reset();
        files_->flushFolder(target_);
        return true;
    }
    return false; // the destructor removes the temporary file
}

FileEdit::~FileEdit()
{
    if (temporary_) {
        temporary_->writer.reset();
        files_->remove(temporary_->path);
    }
}

bool isTemporaryName(std::basic_string_view<PathChar> fileName)
{
    // ".~" + 8 lower-case hex digits + ".tmp", as createTemporary names them.
    constexpr std::size_t digits = 8;
    const NativePath prefix = asciiPath(".~");
    const NativePath suffix = asciiPath(".tmp");
    if (fileName.size() != prefix.size() + digits + suffix.size() || fileName.substr(0, prefix.size()) != prefix ||
        fileName.substr(prefix.size() + digits) != suffix) {
        return false;
    }
    const std::basic_string_view<PathChar> hex = fileName.substr(prefix.size(), digits);
    return std::all_of(hex.begin(), hex.end(), isLowerHexDigit); // libc++ 14 has no ranges algorithm
}

void removeStaleTemporaries(FileSystem& files, const NativePath& target)
{
    for (const NativePath& path : files.filesOlderThan(target, staleTemporarySeconds)) {
        if (isTemporaryName(std::basic_string_view<PathChar>(path).substr(nameStart(path)))) {
            files.remove(path);
        }
    }
}

} // namespace trelvik::platform
