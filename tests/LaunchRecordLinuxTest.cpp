// The launch record where Linux lets a test reach further: the record stays the very file it was
// (owner, rights, attributes, flags, other names, a bind mount), file kinds, owners, links, the
// system calls under the primitives, the library path taken at load, and the process's time zone.
#include "support/AddinSession.h"
#include "support/LinuxTable.h"
#include "support/RecordFolder.h"

#include <launchrecord/RecordFile.h>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>

using testing_support::readBytes;
using testing_support::RecordFolder;
using testing_support::ScratchFolder;
using testing_support::writeBytes;
namespace fs = std::filesystem;

namespace {

const std::string& date = testing_support::dateLine;
constexpr uid_t other = 2000; // the user a test starts as, where it runs as root

// Runs body in a child process, as other when asked and this process is root; its exit status.
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

// What makes a file the file it is, as far as a start could change it.
struct Identity {
    ino_t inode = 0;
    uid_t owner = 0;
    gid_t group = 0;
    mode_t mode = 0;
    nlink_t links = 0;
    int flags = 0;
    std::string attributes; // every extended attribute's name and value

    bool operator==(const Identity&) const = default;
};

Identity identityOf(const fs::path& file)
{
    struct stat info {};
    EXPECT_EQ(::stat(file.c_str(), &info), 0);
    Identity identity{info.st_ino, info.st_uid, info.st_gid, info.st_mode, info.st_nlink, 0, {}};
    const int fd = ::open(file.c_str(), O_RDONLY);
    ioctl(fd, FS_IOC_GETFLAGS, &identity.flags);
    std::string names(4096, '\0');
    names.resize(static_cast<std::size_t>(std::max<ssize_t>(0, flistxattr(fd, names.data(), names.size()))));
    for (std::size_t at = 0; at < names.size(); at += std::strlen(names.c_str() + at) + 1) {
        std::string value(4096, '\0');
        value.resize(static_cast<std::size_t>(
            std::max<ssize_t>(0, fgetxattr(fd, names.c_str() + at, value.data(), value.size()))));
        identity.attributes += std::string(names.c_str() + at) + "=" + value + ";";
    }
    ::close(fd);
    return identity;
}

// The record stays the very file it was, whoever starts: its inode, owner, group and rights, its
// other names, its flags (+t +d +A, no-CoW) and every extended attribute (user.*, trusted.*, the
// access list), also in a folder that only takes new entries (+a) and behind a bind mount.
TEST(LaunchRecordLinux, RecordStaysTheVeryFileItWas)
{
    const RecordFolder folder;
    writeBytes(folder.record, date + "3\r\nnotes\r\n");
    fs::create_hard_link(folder.record, folder.scratch.path() / "second name.txt");
    ASSERT_EQ(chmod(folder.record.c_str(), 0600), 0);
    setxattr(folder.record.c_str(), "user.trelvik.note", "kept", 4, 0);
    setxattr(folder.record.c_str(), "trusted.trelvik", "root's", 6, 0);
    const int fd = ::open(folder.record.c_str(), O_RDONLY);
    for (const int flag : {FS_NOTAIL_FL, FS_NODUMP_FL, FS_NOATIME_FL, FS_NOCOW_FL}) {
        int flags = 0;
        if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= flag;
            ioctl(fd, FS_IOC_SETFLAGS, &flags); // kept where the file system takes it
        }
    }
    ::close(fd);
    const Identity before = identityOf(folder.record);
    EXPECT_EQ(folder.start(), 3);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(folder.record.c_str(), other, other), 0);
        ASSERT_EQ(chmod(folder.record.c_str(), 0666), 0);
        EXPECT_EQ(inChild([&] { return folder.start() == 4 ? 0 : 1; }), 0);
        ASSERT_EQ(chown(folder.record.c_str(), 0, 0), 0);
        ASSERT_EQ(chmod(folder.record.c_str(), 0600), 0);
        // A folder that takes new entries but lets none go or change name.
        const int dir = ::open(folder.scratch.path().c_str(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        ASSERT_EQ(ioctl(dir, FS_IOC_GETFLAGS, &flags), 0);
        flags |= FS_APPEND_FL;
        ASSERT_EQ(ioctl(dir, FS_IOC_SETFLAGS, &flags), 0);
        EXPECT_EQ(folder.start(), 5);
        flags &= ~FS_APPEND_FL;
        ioctl(dir, FS_IOC_SETFLAGS, &flags);
        ::close(dir);
        // The record bind-mounted over its name, in a mount namespace of the child's own.
        const ScratchFolder elsewhere("mounted");
        writeBytes(elsewhere.path() / "record.txt", date + "40\r\n");
        const int mounted = inChild(
            [&] {
                if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                    mount((elsewhere.path() / "record.txt").c_str(), folder.record.c_str(), nullptr, MS_BIND,
                          nullptr) != 0) {
                    return 2;
                }
                return folder.start() == 40 ? 0 : 1;
            },
            false);
        EXPECT_NE(mounted, 1);
        EXPECT_EQ(readBytes(elsewhere.path() / "record.txt"), date + (mounted == 0 ? "41\r\n" : "40\r\n"));
    }
    const std::string expected = date + (geteuid() == 0 ? "6" : "4") + "\r\nnotes\r\n";
    EXPECT_EQ(readBytes(folder.record), expected);
    EXPECT_EQ(readBytes(folder.scratch.path() / "second name.txt"), expected);
    EXPECT_EQ(identityOf(folder.record), before);
}

// The system calls under the primitives: the record's own descriptor is synced, and its folder
// after it only when the record is new.
TEST(LaunchRecordLinux, SystemCallsUnderTheUpdate)
{
    const RecordFolder folder;
    {
        const testing_support::LinuxTable table;
        EXPECT_EQ(folder.start(), 1);
        EXPECT_EQ(table.synced(), (std::vector<std::string>{folder.record.string(), folder.scratch.path().string()}));
    }
    {
        const testing_support::LinuxTable table;
        EXPECT_EQ(folder.start(), 1);
        EXPECT_EQ(table.synced(), std::vector<std::string>{folder.record.string()});
    }
    // A new record is its owner's alone, whatever the umask lets through.
    EXPECT_EQ(fs::status(folder.record).permissions() & (fs::perms::group_all | fs::perms::others_all),
              fs::perms::none);
}

// Links are followed as the system follows them: the file a link names advances and the link stays
// a link; a dangling link's file is made.
TEST(LaunchRecordLinux, SymbolicLinksStayWhileTheFileTheyNameAdvances)
{
    const ScratchFolder elsewhere("target");
    const fs::path target = elsewhere.path() / "shared_record.txt";
    const RecordFolder folder;
    fs::create_symlink(target, folder.record);
    EXPECT_EQ(folder.start(), 1);
    EXPECT_EQ(folder.start(), 1);
    EXPECT_EQ(folder.start(), 2);
    EXPECT_EQ(readBytes(target), date + "3\r\n");
    EXPECT_TRUE(fs::is_symlink(folder.record) && folder.alone());
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

// A record behind a link into a folder the user may not enter exists but cannot be reached: -1,
// and never a record made anew beside the link (needs root, to be another user).
TEST(LaunchRecordLinux, RecordOutOfReachCountsMinusOneAndIsNeverMadeAnew)
{
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to start as another user";
    }
    const RecordFolder folder;
    const ScratchFolder closed("closed");
    writeBytes(closed.path() / "record.txt", date + "8\r\n");
    ASSERT_EQ(chmod(closed.path().c_str(), 0700), 0);
    fs::create_symlink(closed.path() / "record.txt", folder.record);
    ASSERT_EQ(chmod(folder.scratch.path().c_str(), 0777), 0);
    EXPECT_EQ(inChild([&] { return folder.start() == -1 ? 0 : 1; }), 0);
    EXPECT_EQ(readBytes(closed.path() / "record.txt"), date + "8\r\n");
    EXPECT_TRUE(fs::is_symlink(folder.record) && folder.alone());
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
