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
        // A record that stays as it was is whole: neither a disk that refused the bytes (full,
        // say) nor a replace refused while another start holds the record open is a reason to
        // rewrite it in place, where an overlapping reader would see it half written.
        if (!written || targetExists) {
            return false;
        }
    }
    // No replacement can stand in for target, but target itself may still be written: an
    // existing one in place, a missing one created exclusively (there is nothing old to keep).
    const std::unique_ptr<FileWriter> writer = targetExists ? files.openForRewrite(target) : files.createNew(target);
    return writer != nullptr && writeAll(*writer, bytes);
}

} // namespace trelvik::platform
