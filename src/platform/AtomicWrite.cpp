#include "FileSystem.h"

namespace trelvik::platform {

namespace {

// Everything written and flushed to stable storage before the file is closed: a replace must
// never publish bytes that a crash could still lose.
bool writeAll(FileWriter& writer, std::string_view bytes)
{
    const bool written = writer.write(bytes) && writer.flush();
    return writer.close() && written;
}

} // namespace

bool replaceContent(FileSystem& files, const NativePath& target, std::string_view bytes, bool targetExists)
{
    if (std::optional<TemporaryFile> temporary = files.createTemporary(target)) {
        const bool written = writeAll(*temporary->writer, bytes);
        temporary->writer.reset();
        if (written && files.replace(temporary->path, target)) {
            return true;
        }
        files.remove(temporary->path);
        if (!written) {
            return false; // the disk said no (full, say): rewriting in place would fail the same way
        }
    }
    // The folder refuses new entries or the move, but the file itself may still be writable.
    if (!targetExists) {
        return false;
    }
    const std::unique_ptr<FileWriter> writer = files.openForRewrite(target);
    return writer != nullptr && writeAll(*writer, bytes);
}

} // namespace trelvik::platform
