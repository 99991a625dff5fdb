// The launch record on odd file systems: as their system calls answer (through the table of
// support/LinuxTable), and on those the machine can make (as root, each mounted in a namespace of
// a child process's own): ramfs, which can neither reserve space nor tell its size, and a full
// btrfs, which needs new space for every byte it writes, even inside a file.
#include "support/LinuxTable.h"
#include "support/RecordFolder.h"
#include "support/RunProcess.h"

#include <launchrecord/RecordFormat.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>

using testing_support::readBytes;
using testing_support::RecordFolder;
using testing_support::writeBytes;
namespace fs = std::filesystem;

namespace {

const std::string& date = testing_support::dateLine;
constexpr int cannotMount = 77;

// Runs body in a child process with a mount namespace of its own, where mounted has run first;
// its exit status (cannotMount when mounted failed).
template <class Mount, class Body> int inMountNamespace(Mount mounted, Body body)
{
    const pid_t child = fork();
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            !mounted()) {
            _exit(cannotMount);
        }
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Spare files of 64 KiB, then a filler to the file system's last byte: each spare removed later
// gives a little room back.
void fill(const fs::path& folder, int spares)
{
    for (int spare = 0; spare < spares; ++spare) {
        writeBytes(folder / ("spare" + std::to_string(spare)), std::string(std::size_t{1} << 14U, 's'));
    }
    const int fd = ::open((folder / "filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    for (const std::size_t piece : {std::size_t{1} << 20U, std::size_t{4096}, std::size_t{1}}) {
        const std::string bytes(piece, 'f');
        while (::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size())) {
        }
    }
    ::close(fd);
    sync();
}

// The system calls as odd file systems and disks answer them: a signal interrupting each call once,
// a file system without a lock service (ENOLCK, EINVAL), a byte at a time, no reservation and no
// size (ramfs), a full disk, a failed question: the start counts by the rules, and the record
// advances exactly when it should.
TEST(LaunchRecordFileSystems, SystemCallsAsOddFileSystemsAnswerThem)
{
    using testing_support::LinuxAnswers;
    struct Case {
        const char* name;
        std::map<std::string, int> failures; // the errno each call's first refusals give
        int times;                           // how many of each named call's are refused; 0: all
        LinuxAnswers answers;
        bool advances;
    };
    const std::uint64_t plenty = std::uint64_t{1} << 28U;
    for (const Case& c : {
             Case{"interrupted",
                  {{"open", EINTR},
                   {"flock", EINTR},
                   {"pread", EINTR},
                   {"pwrite", EINTR},
                   {"fallocate", EINTR},
                   {"fstatfs", EINTR},
                   {"ftruncate", EINTR},
                   {"fsync", EINTR}},
                  1,
                  {},
                  true},
             Case{"no lock service", {{"flock", ENOLCK}}, 0, {}, true},
             Case{"locks refused as invalid", {{"flock", EINVAL}}, 0, {}, true},
             Case{"a byte at a time", {}, 0, {1, std::nullopt, std::nullopt}, true},
             Case{"full", {{"fallocate", ENOSPC}}, 0, {}, false},
             Case{"over quota", {{"fallocate", EDQUOT}}, 0, {}, false},
             Case{"cannot reserve, room", {{"fallocate", EOPNOTSUPP}}, 0, {std::nullopt, plenty, plenty * 2}, true},
             Case{"cannot reserve, no size (ramfs)", {{"fallocate", EOPNOTSUPP}}, 0, {std::nullopt, 0, 0}, true},
             Case{"cannot reserve, full", {{"fallocate", EOPNOTSUPP}}, 0, {std::nullopt, 0, plenty}, false},
             Case{"cannot reserve nor ask", {{"fallocate", EOPNOTSUPP}, {"fstatfs", EIO}}, 0, {}, false},
             Case{"reserved but full (copy-on-write)", {}, 0, {std::nullopt, 0, plenty}, false},
         }) {
        const RecordFolder folder;
        const std::string before = date + "99\r\n" + std::string(100, 'n') + "\r\n";
        writeBytes(folder.record, before);
        std::map<std::string, int> calls;
        {
            const testing_support::LinuxTable table(
                [&](const testing_support::LinuxCall& call) {
                    const auto failure = c.failures.find(call.name);
                    const int nth = ++calls[call.name];
                    return failure != c.failures.end() && (c.times == 0 || nth <= c.times) ? failure->second : 0;
                },
                c.answers);
            EXPECT_EQ(folder.start(), 99) << c.name;
        }
        EXPECT_EQ(readBytes(folder.record), c.advances ? date + "100\r\n" + before.substr(16) : before) << c.name;
    }
}

TEST(LaunchRecordFileSystems, RamfsLetsTheRecordGrowThoughItCanNeitherReserveNorTellItsSize)
{
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to mount ramfs";
    }
    const RecordFolder folder;
    const int status =
        inMountNamespace([&] { return mount("none", folder.scratch.path().c_str(), "ramfs", 0, nullptr) == 0; },
                         [&] {
                             const bool counts = folder.start() == 1 && folder.start() == 1 && folder.start() == 2;
                             writeBytes(folder.record, date + "9\r\n");
                             const bool grows = folder.start() == 9 && readBytes(folder.record) == date + "10\r\n";
                             return counts && grows ? 0 : 1;
                         });
    if (status == cannotMount) {
        GTEST_SKIP() << "this machine cannot mount ramfs";
    }
    EXPECT_EQ(status, 0);
}

// A full btrfs, with a little more room at each start: every start leaves the record advanced or
// as it was; where a write refused part way could not be undone, lines 3 and later may be torn,
// but the count line is as it was, and so the count is what the record holds; the date line
// always whole.
TEST(LaunchRecordFileSystems, AFullCopyOnWriteDiskChangesNothingOrTheCountIsWhatTheRecordHolds)
{
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to mount a file system";
    }
    const testing_support::ScratchFolder work("btrfs");
    const fs::path image = work.path() / "disk.img";
    {
        std::FILE* made = std::fopen(image.c_str(), "wb");
        ASSERT_NE(made, nullptr);
        ASSERT_EQ(ftruncate(fileno(made), off_t{128} << 20U), 0);
        std::fclose(made);
    }
    if (testing_support::runProcess("/usr/sbin/mkfs.btrfs", {"-q", "-f", "-M", image.string()}).exitCode != 0) {
        GTEST_SKIP() << "mkfs.btrfs cannot make the disk (btrfs-progs)";
    }
    const RecordFolder folder;
    const fs::path mounted = folder.scratch.path();
    const int status = inMountNamespace(
        [&] {
            return testing_support::runProcess("/usr/bin/mount", {"-o", "loop", image.string(), mounted.string()})
                       .exitCode == 0;
        },
        [&] {
            std::string lines;
            for (int line = 0; line < 300; ++line) {
                lines += "line " + std::to_string(line) + std::string(190, 'n') + "\r\n";
            }
            writeBytes(folder.record, date + "99\r\n" + lines);
            constexpr int trials = 40;
            fill(mounted, trials);
            int torn = 0;
            int advanced = 0;
            for (int trial = 0; trial <= trials; ++trial) {
                const std::string before = readBytes(folder.record);
                const std::int32_t count = folder.start();
                const std::string after = readBytes(folder.record);
                const std::int32_t had = trelvik::parseCounter(trelvik::splitLines(before).at(1));
                const bool whole = after == before || after == trelvik::advanceRecordText(before).text;
                advanced += after != before && whole ? 1 : 0;
                torn += whole ? 0 : 1;
                const std::int32_t held = trelvik::parseCounter(trelvik::splitLines(after).at(1));
                // Torn or not, the date stays, and the count line changes only with the whole text.
                if (after.rfind(date, 0) != 0 || count != had || (!whole && held != had)) {
                    std::fprintf(stderr, "trial %d: count %d, the record\n%s\n", trial, count, after.c_str());
                    return 1;
                }
                // A little more room for the next start; all of it for the last.
                std::error_code ignored;
                fs::remove(mounted / (trial + 1 < trials ? "spare" + std::to_string(trial) : "filler"), ignored);
                sync();
            }
            std::printf("full btrfs: %d starts, %d advanced the record, %d left it torn\n", trials + 1, advanced, torn);
            std::fflush(stdout);
            return advanced > 0 ? 0 : 2;
        });
    if (status == cannotMount) {
        GTEST_SKIP() << "this machine cannot mount a loop device";
    }
    EXPECT_EQ(status, 0);
}

} // namespace
