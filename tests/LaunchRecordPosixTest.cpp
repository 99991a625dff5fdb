// The launch record where POSIX lets a test reach further: file kinds, permissions, owners and
// links, the library path taken at load, and the process's time zone.
#include "support/AddinSession.h"
#include "support/SeamFiles.h"

#include <LaunchRecord.h>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <regex>

using testing_support::readBytes;
using testing_support::ScratchFolder;
using testing_support::writeBytes;
namespace fs = std::filesystem;

namespace {

const trelvik::platform::LocalDate today{7, 12, 2026};
const std::string date = "07.12.2026\r\n";

struct Folder {
    ScratchFolder scratch{"record"};
    fs::path library = scratch.path() / "TrelvikDizivoro360.dll";
    fs::path record = scratch.path() / "TrelvikDizivoro360_Info.txt";

    std::int32_t start() const { return trelvik::advanceLaunchRecord(library.native(), today); }
    std::size_t entries() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(scratch.path()), {}));
    }
};

// Runs body in a child process and waits for it; the child ends with _exit, never returning.
template <class Body> void inChild(Body body)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
}

TEST(LaunchRecordPosix, WritableRecordInAFolderThatRefusesNewEntriesAdvances)
{
    const Folder folder;
    writeBytes(folder.record, date + "3\r\n");
    // Appended rather than concatenated: GCC 12 at -O3 warns falsely (-Wrestrict) on "'" + path.
    std::string folderArg(1, '\'');
    folderArg.append(folder.scratch.path().string()).push_back('\'');
    if (std::system(("chattr +i " + folderArg + " 2>/dev/null").c_str()) != 0) { // NOLINT(cert-env33-c)
        GTEST_SKIP() << "chattr +i is not available here; the seam tests cover the same path";
    }
    const std::int32_t first = folder.start();
    const std::int32_t second = folder.start();
    std::system(("chattr -i " + folderArg).c_str()); // NOLINT(cert-env33-c)
    EXPECT_EQ(first, 3);
    EXPECT_EQ(second, 4);
    EXPECT_EQ(readBytes(folder.record), date + "5\r\n");
    EXPECT_EQ(folder.entries(), 1U);
}

TEST(LaunchRecordPosix, RecordKeepsItsPermissions)
{
    const Folder folder;
    writeBytes(folder.record, date + "3\r\n");
    ASSERT_EQ(chmod(folder.record.c_str(), 0600), 0);
    EXPECT_EQ(folder.start(), 3);
    struct stat info {};
    ASSERT_EQ(stat(folder.record.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777U, 0600U);
    EXPECT_EQ(readBytes(folder.record), date + "4\r\n");
}

TEST(LaunchRecordPosix, SymbolicLinkStaysALinkWhileItsTargetAdvances)
{
    const Folder folder;
    const ScratchFolder elsewhere("target");
    const fs::path target = elsewhere.path() / "shared_record.txt";
    writeBytes(target, date + "8\r\n");
    fs::create_symlink(target, folder.record);
    EXPECT_EQ(folder.start(), 8);
    EXPECT_EQ(folder.start(), 9);
    EXPECT_TRUE(fs::is_symlink(folder.record));
    EXPECT_EQ(readBytes(target), date + "10\r\n");
    EXPECT_EQ(folder.entries(), 1U);
    EXPECT_EQ(std::distance(fs::directory_iterator(elsewhere.path()), {}), 1);
}

// Link targets that fill the first read of the link and more: 256 bytes exactly, one more, and
// one near the longest path the system allows.
TEST(LaunchRecordPosix, LinkWithALongTargetPathAdvancesItsTarget)
{
    const Folder folder;
    const ScratchFolder elsewhere("longtarget");
    const std::size_t base = elsewhere.path().string().size() + 1;
    for (const std::size_t length :
         {std::size_t{255}, std::size_t{256}, std::size_t{257}, std::size_t{PATH_MAX - 200}}) {
        // Folders of up to 200 bytes, then a file name that makes the path exactly length bytes.
        fs::path target = elsewhere.path();
        std::size_t left = length - base;
        for (int level = 0; left > 200; ++level) {
            const std::string name = std::to_string(length) + "_" + std::to_string(level);
            target /= name + std::string(150 - name.size(), 'd');
            left -= 151;
        }
        fs::create_directories(target);
        target /= std::string(left, 'r');
        ASSERT_EQ(target.string().size(), length);
        writeBytes(target, date + "5\r\n");
        fs::remove(folder.record);
        fs::create_symlink(target, folder.record);
        EXPECT_EQ(folder.start(), 5) << length;
        EXPECT_EQ(folder.start(), 6) << length;
        EXPECT_EQ(readBytes(target), date + "7\r\n") << length;
        EXPECT_TRUE(fs::is_symlink(folder.record)) << length;
    }
}

TEST(LaunchRecordPosix, DanglingLinksTargetIsCreatedAndAdvances)
{
    const Folder folder;
    const ScratchFolder elsewhere("target");
    const fs::path target = elsewhere.path() / "not_yet_there.txt";
    fs::create_symlink(target, folder.record);
    EXPECT_EQ(folder.start(), 1);
    EXPECT_EQ(readBytes(target), date + "1");
    EXPECT_EQ(folder.start(), 1);
    EXPECT_EQ(folder.start(), 2);
    EXPECT_TRUE(fs::is_symlink(folder.record));
    EXPECT_EQ(fs::read_symlink(folder.record), target);
    EXPECT_EQ(readBytes(target), date + "3\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(elsewhere.path()), {}), 1);

    // Relative links are read from the link's own folder, through a chain.
    const Folder chained;
    fs::create_symlink("middle", chained.record);
    fs::create_symlink("sub/end.txt", chained.scratch.path() / "middle");
    fs::create_directory(chained.scratch.path() / "sub");
    EXPECT_EQ(chained.start(), 1);
    EXPECT_EQ(chained.start(), 1);
    EXPECT_EQ(readBytes(chained.scratch.path() / "sub" / "end.txt"), date + "2\r\n");
    EXPECT_TRUE(fs::is_symlink(chained.record));
}

// Links that loop name no file: nothing can be created through them, so every start is a first.
TEST(LaunchRecordPosix, LinkLoopStaysALinkAndEveryStartCountsOne)
{
    const Folder selfLoop;
    fs::create_symlink(selfLoop.record.filename(), selfLoop.record);
    const Folder twoLinks;
    fs::create_symlink("other", twoLinks.record);
    fs::create_symlink(twoLinks.record.filename(), twoLinks.scratch.path() / "other");
    for (const Folder* folder : {&selfLoop, &twoLinks}) {
        for (int start = 0; start < 3; ++start) {
            EXPECT_EQ(folder->start(), 1);
        }
        EXPECT_TRUE(fs::is_symlink(folder->record));
        EXPECT_EQ(folder->entries(), folder == &selfLoop ? 1U : 2U);
    }
}

// Ownership as a host started by another account would meet it (needs root, to be the others).
class LaunchRecordOwner : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (geteuid() != 0) {
            GTEST_SKIP() << "needs root to start as other users";
        }
        ASSERT_EQ(chmod(folder.scratch.path().c_str(), 0755), 0);
        writeBytes(folder.record, date + "3\r\n");
        ASSERT_EQ(chown(folder.record.c_str(), owner, owner), 0);
        ASSERT_EQ(chmod(folder.record.c_str(), 0644), 0);
    }
    // A start in a child process with that user and group.
    void startAs(uid_t user) const
    {
        inChild([&] {
            if (setgid(user) != 0 || setuid(user) != 0) {
                _exit(1);
            }
            folder.start();
        });
    }
    [[nodiscard]] std::pair<uid_t, gid_t> ownerOfRecord() const
    {
        struct stat info {};
        EXPECT_EQ(stat(folder.record.c_str(), &info), 0);
        return {info.st_uid, info.st_gid};
    }

    static constexpr uid_t owner = 2000;
    Folder folder;
};

TEST_F(LaunchRecordOwner, StartAsRootKeepsTheOwnersRecordTheOwners)
{
    EXPECT_EQ(folder.start(), 3);
    EXPECT_EQ(ownerOfRecord(), std::make_pair(owner, owner));
    startAs(owner); // the owner can still write it, so its own next start advances it
    EXPECT_EQ(readBytes(folder.record), date + "5\r\n");
    EXPECT_EQ(ownerOfRecord(), std::make_pair(owner, owner));
    EXPECT_EQ(folder.entries(), 1U);
}

// Another user who may write the record but cannot give a new file its owner writes in place.
TEST_F(LaunchRecordOwner, WriterThatCannotGiveTheOwnerRewritesInPlace)
{
    ASSERT_EQ(chmod(folder.scratch.path().c_str(), 0777), 0);
    ASSERT_EQ(chmod(folder.record.c_str(), 0666), 0);
    startAs(owner + 1);
    EXPECT_EQ(readBytes(folder.record), date + "4\r\n");
    EXPECT_EQ(ownerOfRecord(), std::make_pair(owner, owner));
    EXPECT_EQ(folder.entries(), 1U);
}

// Same owner, another group: a replacement must carry the group too.
TEST_F(LaunchRecordOwner, StartAsRootKeepsTheRecordsGroup)
{
    ASSERT_EQ(chown(folder.record.c_str(), 0, owner), 0);
    EXPECT_EQ(folder.start(), 3);
    EXPECT_EQ(readBytes(folder.record), date + "4\r\n");
    EXPECT_EQ(ownerOfRecord(), std::make_pair(uid_t{0}, gid_t{owner}));
}

// Eight starts of a user who may write the record but not the folder (so each rewrites it in
// place) at one moment, five times over: the date and the later lines always stay.
TEST_F(LaunchRecordOwner, SimultaneousInPlaceStartsOfAUserNeverTearTheRecord)
{
    const std::regex whole("^07\\.12\\.2026\r\n(\\d+)\r\nline 3\r\nline 4\r\n$");
    for (int trial = 0; trial < 5; ++trial) {
        writeBytes(folder.record, date + "5\r\nline 3\r\nline 4\r\n");
        std::vector<pid_t> children;
        for (int start = 0; start < 8; ++start) {
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                if (setgid(owner) != 0 || setuid(owner) != 0) {
                    _exit(2);
                }
                // A counter read, or -1 from a start that found the record held by another's
                // rewrite for longer than it waits: never anything else.
                const std::int32_t count = folder.start();
                _exit(count == -1 || count >= 5 ? 0 : 1);
            }
            children.push_back(child);
        }
        for (const pid_t child : children) {
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "trial " << trial;
        }
        const std::string record = readBytes(folder.record);
        std::smatch counter;
        ASSERT_TRUE(std::regex_match(record, counter, whole))
            << "trial " << trial << ": " << testing::PrintToString(record);
        EXPECT_GE(std::stoi(counter[1].str()), 6) << "trial " << trial;
        EXPECT_EQ(folder.entries(), 1U) << "trial " << trial;
    }
}

// An access list granting another user write access, and a user attribute, as
// system.posix_acl_access and user.* carry them.
std::string accessListGranting(uid_t user)
{
    std::string list;
    const auto put = [&list](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            list.push_back(static_cast<char>((value >> (8 * i)) & 0xFFU));
        }
    };
    put(2, 4); // version
    const auto entry = [&put](std::uint32_t tag, std::uint32_t permissions, std::uint32_t id) {
        put(tag, 2);
        put(permissions, 2);
        put(id, 4);
    };
    entry(0x01, 6, 0xFFFFFFFFU); // owner rw
    entry(0x02, 6, user);        // the named user rw
    entry(0x04, 4, 0xFFFFFFFFU); // group r
    entry(0x10, 6, 0xFFFFFFFFU); // mask rw
    entry(0x20, 4, 0xFFFFFFFFU); // others r
    return list;
}

std::optional<std::string> attribute(const fs::path& file, const char* name)
{
    std::string value(4096, '\0');
    const ssize_t size = getxattr(file.c_str(), name, value.data(), value.size());
    if (size < 0) {
        return std::nullopt;
    }
    value.resize(static_cast<std::size_t>(size));
    return value;
}

// The replacement carries the access list and every attribute over: a user given write access
// by the list keeps it, and so the count keeps going for that user.
TEST_F(LaunchRecordOwner, AccessListAndUserAttributesSurviveTenStarts)
{
    ASSERT_EQ(chown(folder.record.c_str(), 0, 0), 0);
    const std::string list = accessListGranting(owner);
    if (setxattr(folder.record.c_str(), "user.trelvik.note", "kept", 4, 0) != 0 ||
        setxattr(folder.record.c_str(), "system.posix_acl_access", list.data(), list.size(), 0) != 0) {
        GTEST_SKIP() << "this file system keeps no access lists or user attributes";
    }
    const std::optional<std::string> listBefore = attribute(folder.record, "system.posix_acl_access");
    for (int start = 0; start < 10; ++start) {
        EXPECT_EQ(folder.start(), 3 + start);
    }
    EXPECT_EQ(attribute(folder.record, "user.trelvik.note"), std::optional<std::string>("kept"));
    EXPECT_EQ(attribute(folder.record, "system.posix_acl_access"), listBefore);
    startAs(owner); // allowed by the list alone
    EXPECT_EQ(readBytes(folder.record), date + "14\r\n");
    EXPECT_EQ(folder.entries(), 1U);
}

TEST(LaunchRecordPosix, FifoAtTheRecordPathIsNoRecordAndNeverBlocks)
{
    const Folder folder;
    ASSERT_EQ(mkfifo(folder.record.c_str(), 0600), 0);
    EXPECT_EQ(folder.start(), -1);
    EXPECT_TRUE(fs::is_fifo(folder.record));

    // Through the add-in: run goes on past it (with the "new" icons of a count of -1).
    const ScratchFolder addinFolder("addin");
    ASSERT_EQ(mkfifo((addinFolder.path() / "TrelvikDizivoro360_Info.txt").c_str(), 0600), 0);
    testing_support::AddinSession addin(addinFolder.path());
    EXPECT_TRUE(addin.host().run());
    EXPECT_EQ(addin.ops("addButtonDefinition").at(0).text("resourceFolder"), "resources/Trelvik/LessTen");
}

// What was a record when its kind was asked may be a FIFO by the time it is opened: that open
// must not wait for a writer (the start would hang the host). The swap is made certain here by
// a file system that reports the FIFO as a regular file.
TEST(LaunchRecordPosix, FifoSwappedInAfterTheKindCheckIsNotWaitedFor)
{
    const Folder folder;
    ASSERT_EQ(mkfifo(folder.record.c_str(), 0600), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(5); // a start that waits on the FIFO ends here, killed
        testing_support::SeamFiles files;
        files.reportedKind = trelvik::platform::FileKind::Regular;
        _exit(trelvik::advanceLaunchRecord(folder.library.native(), today, files) == -1 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the start blocked on the FIFO";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a FIFO is no record: -1";
    EXPECT_TRUE(fs::is_fifo(folder.record));
}

// The host may change its working folder between loading the add-in and starting it.
TEST(LaunchRecordPosix, LibraryPathIsTakenWhenTheLibraryLoads)
{
    const ScratchFolder scratch("relative");
    const fs::path folder = scratch.path() / "addin";
    fs::create_directories(folder);
    fs::copy_file(testing_support::addinLibrary(), folder / "TrelvikDizivoro360.so");
    const simhost::Session host({});
    const fs::path previous = fs::current_path();
    fs::current_path(folder);
    void* library = dlopen("./TrelvikDizivoro360.so", RTLD_NOW | RTLD_LOCAL);
    fs::current_path(scratch.path());
    ASSERT_NE(library, nullptr) << dlerror();
    using EntryPoint = bool (*)(const char*);
    const auto run = reinterpret_cast<EntryPoint>(dlsym(library, "run"));
    const auto stop = reinterpret_cast<EntryPoint>(dlsym(library, "stop"));
    EXPECT_TRUE(run(""));
    EXPECT_TRUE(stop(""));
    dlclose(library);
    fs::current_path(previous);
    EXPECT_EQ(readBytes(folder / "TrelvikDizivoro360_Info.txt").size(), 13U);
    EXPECT_FALSE(fs::exists(scratch.path() / "TrelvikDizivoro360_Info.txt"));
}

// Far east and far west of UTC: at any moment one of them has another date than UTC, so a record
// dated in UTC (or with the month off by one) fails one of the two.
TEST(LaunchRecordPosix, CreationDateIsTheLocalDateInAnyTimeZone)
{
    const char* previous = std::getenv("TZ"); // NOLINT(concurrency-mt-unsafe)
    const std::string saved = previous != nullptr ? previous : "";
    for (const char* zone : {"UTC-14", "UTC+12"}) {
        setenv("TZ", zone, 1); // NOLINT(concurrency-mt-unsafe)
        tzset();
        const auto localDate = [] {
            const std::time_t now = std::time(nullptr);
            std::tm local{};
            localtime_r(&now, &local);
            char text[16];
            std::strftime(text, sizeof text, "%d.%m.%Y", &local);
            return std::string(text);
        };
        const Folder folder;
        const std::string before = localDate();
        EXPECT_EQ(trelvik::advanceLaunchRecord(folder.library.native(), trelvik::platform::today()), 1);
        const std::string after = localDate();
        const std::string line = readBytes(folder.record).substr(0, 10);
        EXPECT_TRUE(line == before || line == after) << zone << ": " << line << " vs " << before;
    }
    if (previous != nullptr) {
        setenv("TZ", saved.c_str(), 1); // NOLINT(concurrency-mt-unsafe)
    } else {
        unsetenv("TZ"); // NOLINT(concurrency-mt-unsafe)
    }
    tzset();
}

} // namespace
