// The launch record's file, written once for every system over the primitives of FileSystem.h.
//
// An update goes one of two ways. Where a new file can stand in for the record (one name, a
// writable record, an identity the new file can be given), the new text goes to a temporary file
// of this start's own, synced, which then takes the record's name in one step: a failure at any
// point leaves the record as it was. Otherwise the record is rewritten in place under an
// exclusive lock, from its first changed byte on, so the date line is never touched.
#include "LaunchRecord.h"

#include <algorithm>
#include <utility>

namespace trelvik {

namespace {

using platform::FileSystem;
using platform::folderOf;
using platform::isAbsolutePath;
using platform::NativePath;
using platform::OpenFile;
using platform::Outcome;

// Where the record's name leads: the file a write reaches, at the end of any chain of links; open
// (for writing where allowed) when it is there, none when it is missing. Links are followed by
// hand, so a dangling one still names the file to create, and the links themselves stay links.
struct Found {
    NativePath path;
    std::unique_ptr<OpenFile> file;
    std::optional<std::int32_t> count; // settled already: 1 for links that loop, -1 out of reach
};

Found find(FileSystem& files, NativePath path)
{
    for (int links = 0; links <= maximumLinks; ++links) {
        platform::Opened opened = files.open(path, true);
        if (opened.outcome == Outcome::Denied) {
            opened = files.open(path, false); // a record we may read but not write
        }
        if (opened.outcome == Outcome::Done || opened.outcome == Outcome::Missing) {
            return {std::move(path), std::move(opened.file), std::nullopt};
        }
        std::optional<NativePath> target = opened.outcome == Outcome::Link ? files.readLink(path) : std::nullopt;
        if (!target || target->empty()) {
            return {{}, nullptr, -1}; // there, but out of reach: never made anew
        }
        if (!isAbsolutePath(*target)) {
            target->insert(0, folderOf(path)); // relative to the link's own folder
        }
        path = std::move(*target);
    }
    return {{}, nullptr, 1}; // no file to create: every start is a first one
}

// A file of this start's own beside the record, removed unless it took the record's name.
struct Temporary {
    Temporary(FileSystem& owner, NativePath name, std::unique_ptr<OpenFile> opened)
        : files(owner), path(std::move(name)), file(std::move(opened))
    {
    }
    ~Temporary()
    {
        if (!published) {
            file.reset();
            files.remove(path);
        }
    }
    // Gives it the name target (replacing what is there with replace); false when it stays ours.
    bool publish(const NativePath& target, bool replace)
    {
        published = files.rename(path, target, replace) == Outcome::Done;
        return published;
    }

    FileSystem& files;
    NativePath path;
    std::unique_ptr<OpenFile> file;
    bool published = false;
};

std::unique_ptr<Temporary> createTemporary(FileSystem& files, const NativePath& folder)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        NativePath path = folder + temporaryName(files.uniqueNumber());
        platform::Opened created = files.createExclusive(path);
        if (created.outcome == Outcome::Done) {
            return std::make_unique<Temporary>(files, std::move(path), std::move(created.file));
        }
        if (created.outcome != Outcome::Exists) {
            return nullptr;
        }
    }
    return nullptr;
}

bool writeAt(OpenFile& file, std::uint64_t offset, std::string_view bytes)
{
    for (std::optional<std::size_t> put; !bytes.empty(); bytes.remove_prefix(*put), offset += *put) {
        if (!(put = file.write(offset, bytes)) || *put == 0) {
            return false;
        }
    }
    return true;
}

// Everything written and synced before the file is closed: a new name must never publish bytes
// that a crash could still lose.
bool writeAll(OpenFile& file, std::string_view bytes)
{
    const bool written = writeAt(file, 0, bytes) && file.sync();
    return file.close() && written;
}

// Tries for the lock, pausing between attempts. Bounded: run is on the host's user-interface
// thread and must never wait for long.
bool acquire(FileSystem& files, OpenFile& file, platform::Lock lock)
{
    for (unsigned attempt = 0;; ++attempt) {
        if (file.tryLock(lock)) {
            return true;
        }
        if (attempt == lockPauses) {
            return false;
        }
        files.sleep(1U << attempt);
    }
}

// The whole file: a read shorter than asked is its end (the first asks for one byte more than the
// file had when it was opened). None when a read fails, also part way.
std::optional<std::string> readAll(OpenFile& file)
{
    std::string content;
    for (std::size_t asked = file.facts().size + 1;; asked *= 2) {
        const std::size_t have = content.size();
        content.resize(have + asked);
        const std::optional<std::size_t> got = file.read(have, {content.data() + have, asked});
        content.resize(have + got.value_or(0));
        if (!got || *got < asked) {
            return got ? std::optional<std::string>(std::move(content)) : std::nullopt;
        }
    }
}

// Gives the open record the new text where it differs from the old, so that no moment of the
// rewrite lacks the lines before the first change (the date line never changes). The space is
// reserved first, so a full disk changes nothing; the file is cut last, and only when shorter.
void rewriteInPlace(OpenFile& file, std::string_view old, std::string_view text)
{
    const auto from =
        static_cast<std::size_t>(std::mismatch(old.begin(), old.end(), text.begin(), text.end()).first - old.begin());
    if ((text.size() <= old.size() || file.reserve(text.size())) && writeAt(file, from, text.substr(from)) &&
        (text.size() >= old.size() || file.truncate(text.size()))) {
        file.sync();
    }
}

struct Result {
    std::int32_t count = 1;
    bool newName = false; // the record's folder has a new entry to bring to stable storage
};

Result create(FileSystem& files, const NativePath& record, const platform::LocalDate& today)
{
    const std::string text = newRecordText(today);
    if (const std::unique_ptr<Temporary> temporary = createTemporary(files, folderOf(record))) {
        // A record made by another start meanwhile is never replaced: that start counted it, and
        // this one counts 1 all the same. A write that fails leaves no record at all.
        return {1, writeAll(*temporary->file, text) && temporary->publish(record, false)};
    }
    // The folder refuses a file of ours: the record itself, created exclusively.
    platform::Opened created = files.createExclusive(record);
    if (created.outcome != Outcome::Done) {
        return {};
    }
    if (!writeAll(*created.file, text)) {
        files.remove(record); // undated for good otherwise
        return {};
    }
    return {1, true};
}

Result update(FileSystem& files, const NativePath& record, OpenFile& file)
{
    const platform::FileFacts& facts = file.facts();
    if (!facts.regular) {
        return {-1}; // a folder, FIFO or device is no record
    }
    bool mayWrite = facts.writable;
    std::unique_ptr<Temporary> temporary;
    if (mayWrite && facts.links == 1) { // a new file would split the record from its other names
        temporary = createTemporary(files, folderOf(record));
        if (temporary && !files.copyIdentity(file, *temporary->file)) {
            temporary.reset(); // the replacement would not be what the record is
        }
    }
    const bool inPlace = mayWrite && !temporary;
    if (!acquire(files, file, inPlace ? platform::Lock::Exclusive : platform::Lock::Shared)) {
        // Held by another start. A reader's shared lock still lets this one read and count (an
        // increment lost); an in-place writer's exclusive one lets it do nothing at all.
        if (!inPlace || !file.tryLock(platform::Lock::Shared)) {
            return {-1};
        }
        mayWrite = false;
    }
    const std::optional<std::string> content = readAll(file);
    if (!content) {
        return {-1};
    }
    const RecordUpdate next = advanceRecordText(*content);
    if (!mayWrite) {
        return {next.launchCount};
    }
    if (inPlace) {
        rewriteInPlace(file, *content, next.text);
        return {next.launchCount};
    }
    // Closed first: a file still open cannot be replaced everywhere (Windows refuses it).
    file.close();
    return {next.launchCount, writeAll(*temporary->file, next.text) && temporary->publish(record, true)};
}

// Brings a new name in the folder to stable storage, and removes the temporary files of starts
// that died there: names first, and only names of the pattern are looked at any closer.
void tidyFolder(FileSystem& files, const NativePath& folder, bool newName)
{
    const std::unique_ptr<platform::Folder> open = files.openFolder(folder);
    if (open == nullptr) {
        return;
    }
    if (newName) {
        open->sync();
    }
    for (const NativePath& name : open->names()) {
        if (isTemporaryName(name)) {
            const NativePath path = folder + name;
            const std::optional<std::int64_t> age = files.ageSeconds(path);
            if (age && *age >= staleTemporarySeconds) {
                files.remove(path);
            }
        }
    }
}

// Where '#' stands, a lower-case hex digit.
constexpr std::string_view temporaryPattern = ".~########.tmp";

} // namespace

NativePath temporaryName(std::uint32_t number)
{
    NativePath name = platform::asciiPath(temporaryPattern);
    for (std::size_t at = temporaryPattern.find_last_of('#'); name[at] == '#'; --at, number >>= 4U) {
        name[at] = static_cast<platform::PathChar>("0123456789abcdef"[number & 0xFU]);
    }
    return name;
}

bool isTemporaryName(std::basic_string_view<platform::PathChar> name)
{
    return std::equal(name.begin(), name.end(), temporaryPattern.begin(), temporaryPattern.end(),
                      [](platform::PathChar c, char want) {
                          return want == '#' ? (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')
                                             : c == static_cast<platform::PathChar>(want);
                      });
}

std::int32_t advanceLaunchRecord(const NativePath& library, const platform::LocalDate& today,
                                 FileSystem& files) noexcept
{
    try {
        if (library.empty()) {
            return -1; // our own path is unknown: touch nothing
        }
        Found found = find(files, launchRecordPath(library));
        if (found.count) {
            return *found.count;
        }
        const Result result = found.file ? update(files, found.path, *found.file) : create(files, found.path, today);
        found.file.reset();
        // Beside the file actually written, which a link may have led elsewhere.
        tidyFolder(files, folderOf(found.path), result.newName);
        return result.count;
    } catch (...) {
        return -1;
    }
}

} // namespace trelvik
