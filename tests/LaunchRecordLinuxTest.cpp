// The launch record where Linux lets a test reach further: file kinds, permissions, owners, access
// lists, flags and links, the system calls under the primitives, the library path taken at load,
// and the process's time zone.
#include "support/AddinSession.h"
#include "support/RecordFolder.h"
#include "support/SystemCalls.h"

#include <LaunchRecord.h>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <optional>

using testing_support::readBytes;
using testing_support::RecordFolder;
using testing_support::ScratchFolder;
using testing_support::writeBytes;
namespace fs = std::filesystem;
namespace calls = testing_support::system_calls;

namespace {

const std::string& date = testing_support::dateLine;
constexpr uid_t other = 2000; // the user a test starts as, where it runs as root

// Runs body in a child process, as other when this process is root; the child's exit status.
template <class Body> int inChild(Body body, bool asOther = true)
{
    const pid_t child = fork();
    if (child == 0) {
        if (asOther && geteuid() == 0 && (setgid(other) != 0 || setuid(other) != 0)) {
            _exit(99);
        }
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

ino_t inode(const fs::path& file)
{
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 ? info.st_ino : 0;
}

std::optional<std::string> attribute(const fs::path& file, const char* name)
{
    std::string value(4096, '\0');
    const ssize_t size = getxattr(file.c_str(), name, value.data(), value.size());
    return size < 0 ? std::nullopt : std::optional<std::string>(value.substr(0, static_cast<std::size_t>(size)));
}

// An access list (system.posix_acl_access, or _default on a folder) granting user read and write.
std::string accessListGranting(uid_t user)
{
    std::string list;
    const auto put = [&list](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            list.push_back(static_cast<char>((value >> (8 * i)) & 0xFFU));
        }
    };
    put(2, 4); // version; then owner, the named user, group, mask and others: tag, permissions, id
    const std::uint32_t entries[][3] = {
        {0x01, 6, ~0U}, {0x02, 6, user}, {0x04, 4, ~0U}, {0x10, 6, ~0U}, {0x20, 4, ~0U}};
    for (const auto& entry : entries) {
        put(entry[0], 2);
        put(entry[1], 2);
        put(entry[2], 4);
    }
    return list;
}

// What the record is stays with it as it is replaced: its permissions, its flags, and exactly its
// access list, also where the folder's default list would give a new file more.
TEST(LaunchRecordLinux, ReplacementIsWhatTheRecordWas)
{
    const RecordFolder folder;
    writeBytes(folder.record, date + "3\r\n");
    ASSERT_EQ(chmod(folder.record.c_str(), 0640), 0);
    const std::string list = accessListGranting(other);
    const bool lists =
        setxattr(folder.scratch.path().c_str(), "system.posix_acl_default", list.data(), list.size(), 0) == 0;
    const int fd = ::open(folder.record.c_str(), O_RDONLY);
    int flags = 0;
    const bool flagged = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags |= FS_NODUMP_FL | FS_NOATIME_FL) != 0 &&
                         ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    const ino_t before = inode(folder.record);
    EXPECT_EQ(folder.start(), 3);
    EXPECT_NE(inode(folder.record), before) << "not replaced";
    struct stat info {};
    ASSERT_EQ(stat(folder.record.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777U, 0640U);
    if (lists) {
        EXPECT_EQ(attribute(folder.record, "system.posix_acl_access"), std::nullopt) << "the folder's list given";
    }
    if (flagged) {
        const int again = ::open(folder.record.c_str(), O_RDONLY);
        EXPECT_EQ(ioctl(again, FS_IOC_GETFLAGS, &flags), 0);
        ::close(again);
        EXPECT_EQ(flags & (FS_NODUMP_FL | FS_NOATIME_FL), FS_NODUMP_FL | FS_NOATIME_FL);
    }
    EXPECT_EQ(readBytes(folder.record), date + "4\r\n");
}

// The system calls under the primitives: the temporary file and then the record's own folder are
// synced (not the working folder); a file system without extended attributes still replaces the
// record, and an attribute that cannot be given keeps it in place; a full disk changes nothing.
TEST(LaunchRecordLinux, SystemCallsUnderTheUpdate)
{
    struct Case {
        const char* call;
        int error;
        bool replaced;
    };
    for (const Case& c : {Case{"", 0, true}, Case{"flistxattr", ENOTSUP, true}, Case{"fsetxattr", EPERM, false}}) {
        const RecordFolder folder;
        writeBytes(folder.record, date + "9\r\n");
        setxattr(folder.record.c_str(), "user.trelvik.note", "kept", 4, 0);
        const ino_t before = inode(folder.record);
        calls::reset();
        calls::failures[c.call] = c.error;
        EXPECT_EQ(folder.start(), 9) << c.call;
        calls::reset();
        EXPECT_EQ(inode(folder.record) != before, c.replaced) << c.call;
        EXPECT_EQ(readBytes(folder.record), date + "10\r\n") << c.call;
        EXPECT_TRUE(folder.alone()) << c.call;
    }
    // The creation (renameat2 without replacing, or its fallback) and an update, synced.
    const RecordFolder folder;
    calls::reset();
    calls::failures["renameat2"] = EINVAL;
    EXPECT_EQ(folder.start(), 1);
    calls::failures.clear();
    EXPECT_EQ(folder.start(), 1);
    const std::vector<std::string> synced = calls::synced;
    calls::reset();
    ASSERT_EQ(synced.size(), 4U);
    for (const std::size_t at : {0U, 2U}) {
        EXPECT_TRUE(trelvik::isTemporaryName(fs::path(synced[at]).filename().native())) << synced[at];
        EXPECT_EQ(fs::path(synced[at]).parent_path(), folder.scratch.path()) << synced[at];
        EXPECT_EQ(fs::path(synced[at + 1]), folder.scratch.path());
    }
    EXPECT_EQ(readBytes(folder.record), date + "2\r\n");

    // In place (a second name): a disk that cannot hold the longer text leaves the record as it was.
    fs::create_hard_link(folder.record, folder.scratch.path() / "second");
    writeBytes(folder.record, date + "99\r\n");
    calls::failures["fallocate"] = ENOSPC;
    EXPECT_EQ(folder.start(), 99);
    calls::reset();
    EXPECT_EQ(readBytes(folder.record), date + "99\r\n");
    EXPECT_EQ(folder.start(), 99);
    EXPECT_EQ(readBytes(folder.scratch.path() / "second"), date + "100\r\n");
}

// A link stays a link while the file it names advances: dangling at first (its target is created),
// with target paths that fill the first read of the link and more. (Chains and loops: the seam's
// test of links.)
TEST(LaunchRecordLinux, SymbolicLinksStayWhileTheirTargetAdvances)
{
    const ScratchFolder elsewhere("target");
    const std::size_t base = elsewhere.path().string().size() + 1;
    for (const std::size_t length :
         {std::size_t{60}, std::size_t{256}, std::size_t{257}, std::size_t{PATH_MAX - 200}}) {
        fs::path target = elsewhere.path(); // folders of up to 150 bytes, then a name to make length
        std::size_t left = length - base;
        for (int level = 0; left > 200; ++level) {
            const std::string name = std::to_string(length) + "_" + std::to_string(level);
            target /= name + std::string(150 - name.size(), 'd');
            left -= 151;
        }
        fs::create_directories(target);
        target /= std::string(left, 'r');
        ASSERT_EQ(target.string().size(), length);
        const RecordFolder folder;
        fs::create_symlink(target, folder.record);
        EXPECT_EQ(folder.start(), 1) << length; // dangling: its target is created
        EXPECT_EQ(folder.start(), 1) << length;
        EXPECT_EQ(folder.start(), 2) << length;
        EXPECT_EQ(readBytes(target), date + "3\r\n") << length;
        EXPECT_TRUE(fs::is_symlink(folder.record) && folder.alone()) << length;
    }
}

// Only a regular file of the pattern is a dead start's: a link of that name stays (and so does
// what it names), and the files swept are those beside the file written, not beside the link.
TEST(LaunchRecordLinux, SweepRemovesOnlyOldRegularFilesBesideTheFileWritten)
{
    const RecordFolder folder;
    const ScratchFolder elsewhere("target");
    fs::create_symlink(elsewhere.path() / "record.txt", folder.record);
    const auto old = [](const fs::path& file) {
        const timespec times[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 3600, 0}};
        utimensat(AT_FDCWD, file.c_str(), times, AT_SYMLINK_NOFOLLOW);
    };
    writeBytes(elsewhere.path() / "kept.txt", "mine");
    fs::create_symlink(elsewhere.path() / "kept.txt", folder.scratch.path() / ".~deadbeef.tmp");
    fs::create_symlink(elsewhere.path() / "kept.txt", elsewhere.path() / ".~0000beef.tmp");
    writeBytes(elsewhere.path() / ".~feedbeef.tmp", "dead start");
    writeBytes(folder.scratch.path() / ".~feedf00d.tmp", "beside the link");
    for (const fs::path& file : {folder.scratch.path() / ".~deadbeef.tmp", elsewhere.path() / ".~0000beef.tmp",
                                 elsewhere.path() / ".~feedbeef.tmp", folder.scratch.path() / ".~feedf00d.tmp",
                                 elsewhere.path() / "kept.txt"}) {
        old(file);
    }
    EXPECT_EQ(folder.start(), 1);
    EXPECT_TRUE(fs::is_symlink(folder.scratch.path() / ".~deadbeef.tmp"));
    EXPECT_TRUE(fs::is_symlink(elsewhere.path() / ".~0000beef.tmp"));
    EXPECT_EQ(readBytes(elsewhere.path() / "kept.txt"), "mine");
    EXPECT_FALSE(fs::exists(elsewhere.path() / ".~feedbeef.tmp"));
    EXPECT_TRUE(fs::exists(folder.scratch.path() / ".~feedf00d.tmp"));
}

// Only a regular file is a record: a FIFO opens without waiting for a writer, counts -1 and stays.
TEST(LaunchRecordLinux, FifoAtTheRecordPathIsNoRecordAndNeverBlocks)
{
    const RecordFolder folder;
    ASSERT_EQ(mkfifo(folder.record.c_str(), 0600), 0);
    EXPECT_EQ(inChild(
                  [&] {
                      alarm(5); // a start that waits on the FIFO ends here, killed
                      return folder.start() == -1 ? 0 : 1;
                  },
                  false),
              0);
    EXPECT_TRUE(fs::is_fifo(folder.record));
}

// Ownership as a host started by another account meets it (needs root, to be the others).
class LaunchRecordOwner : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (geteuid() != 0) {
            GTEST_SKIP() << "needs root to start as other users";
        }
        ASSERT_EQ(chmod(folder.scratch.path().c_str(), 0755), 0);
        writeBytes(folder.record, date + "3\r\n");
        ASSERT_EQ(chown(folder.record.c_str(), other, other), 0);
        ASSERT_EQ(chmod(folder.record.c_str(), 0644), 0);
    }
    [[nodiscard]] std::pair<uid_t, gid_t> ownerOfRecord() const
    {
        struct stat info {};
        EXPECT_EQ(stat(folder.record.c_str(), &info), 0);
        return {info.st_uid, info.st_gid};
    }
    int startAsOther() const
    {
        return inChild([&] { return folder.start() >= 0 ? 0 : 1; });
    }

    RecordFolder folder;
};

// A start as root keeps the owner's record the owner's, group included; another user who may
// write the record but cannot give a new file its owner writes in place.
TEST_F(LaunchRecordOwner, RecordStaysItsOwnersWhoeverStarts)
{
    EXPECT_EQ(folder.start(), 3);
    EXPECT_EQ(ownerOfRecord(), std::make_pair(other, other));
    EXPECT_EQ(startAsOther(), 0);
    ASSERT_EQ(chown(folder.record.c_str(), 0, other), 0);
    EXPECT_EQ(folder.start(), 5);
    EXPECT_EQ(ownerOfRecord(), std::make_pair(uid_t{0}, gid_t{other}));
    ASSERT_EQ(chmod(folder.scratch.path().c_str(), 0777), 0);
    ASSERT_EQ(chown(folder.record.c_str(), other + 1, other + 1), 0);
    ASSERT_EQ(chmod(folder.record.c_str(), 0666), 0);
    EXPECT_EQ(startAsOther(), 0);
    EXPECT_EQ(readBytes(folder.record), date + "7\r\n");
    EXPECT_EQ(ownerOfRecord(), std::make_pair(other + 1, other + 1));
    EXPECT_TRUE(folder.alone());
}

// A record behind a link into a folder the user may not enter exists but cannot be reached: -1,
// and never a record made anew beside the link.
TEST_F(LaunchRecordOwner, RecordOutOfReachCountsMinusOneAndIsNeverMadeAnew)
{
    const ScratchFolder closed("closed");
    writeBytes(closed.path() / "record.txt", date + "8\r\n");
    ASSERT_EQ(chmod(closed.path().c_str(), 0700), 0);
    fs::remove(folder.record);
    fs::create_symlink(closed.path() / "record.txt", folder.record);
    ASSERT_EQ(chmod(folder.scratch.path().c_str(), 0777), 0);
    EXPECT_EQ(inChild([&] { return folder.start() == -1 ? 0 : 1; }), 0);
    EXPECT_EQ(readBytes(closed.path() / "record.txt"), date + "8\r\n");
    EXPECT_TRUE(fs::is_symlink(folder.record) && folder.alone());
}

// The replacement carries the access list and every attribute over: a user given write access
// by the list keeps it, and so the count keeps going for that user.
TEST_F(LaunchRecordOwner, AccessListAndUserAttributesSurviveTenStarts)
{
    ASSERT_EQ(chown(folder.record.c_str(), 0, 0), 0);
    const std::string list = accessListGranting(other);
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
    EXPECT_EQ(startAsOther(), 0); // allowed by the list alone
    EXPECT_EQ(readBytes(folder.record), date + "14\r\n");
    EXPECT_TRUE(folder.alone());
}

// The host may change its working folder between loading the add-in and starting it.
TEST(LaunchRecordLinux, LibraryPathIsTakenWhenTheLibraryLoads)
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
TEST(LaunchRecordLinux, CreationDateIsTheLocalDateInAnyTimeZone)
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
        const RecordFolder folder;
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
