// Faults of the machine while the library writes: a full disk, a disk that fills up during a
// write, places that cannot be written, the process killed; and archives made to fill the disk.
// Whatever happens, no file under a real name is left partial, and a file that was to be replaced
// is either as it was or wholly replaced. The disks and read-only places are mounts the test
// makes as root; where this machine does not allow mounting, the test says so and is skipped.

#include "mounts.h"
#include "unzip_harness.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace unzip32_test {
namespace {

using Names = std::vector<std::string>;
using Clock = std::chrono::steady_clock;
constexpr std::size_t mib = 1024 * 1024;

bool is_temporary(const fs::path& path)
{
    return path.filename().string().rfind(".unzip32-", 0) == 0;
}

// The library's temporary files below `folder`.
Names temporaries(const fs::path& folder)
{
    Names names;
    for (const std::string& name : tree(folder))
        if (is_temporary(name))
            names.push_back(name);
    return names;
}

// Another writer that takes all the disk's free space as soon as the library has begun writing a
// file in the watched folder, so that the disk fills up in the middle of that file. It watches the
// free space rather than names, since a file being written may have no name yet.
class DiskFiller {
public:
    DiskFiller(fs::path watched, fs::path filler)
        : watched_(std::move(watched)), filler_(std::move(filler)), free_at_start_(free_bytes(watched_)),
          thread_([this] { watch(); })
    {
    }
    ~DiskFiller()
    {
        stop_ = true;
        thread_.join();
    }
    bool filled() const { return filled_; }

private:
    void watch()
    {
        const auto deadline = Clock::now() + std::chrono::seconds(30);
        while (!stop_ && Clock::now() < deadline) {
            if (free_bytes(watched_) + 4 * mib < free_at_start_) {
                fill();
                return;
            }
        }
    }

    void fill()
    {
        const int file = open(filler_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (file < 0)
            return;
        const std::vector<char> block(mib);
        for (std::size_t size = mib; size > 0; size /= 2)
            while (write(file, block.data(), size) > 0) {
            }
        close(file);
        filled_ = true;
    }

    fs::path watched_;
    fs::path filler_;
    std::uint64_t free_at_start_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> filled_{false};
    std::thread thread_;
};

TEST(DiskFull, AnEntryLargerThanTheFreeSpaceIsRefusedBeforeWriting)
{
    ScratchFolder scratch;
    std::string why;
    const auto disk = Mount::memory_disk(scratch / "disk", mib, why);
    if (!disk)
        GTEST_SKIP() << why;
    const fs::path target = scratch / "disk" / "target";
    fs::create_directories(target);
    write_file(target / "big.bin", "old");
    const std::uint64_t free_before = free_bytes(target);

    Unzip unzip(archive("large.zip"), target);
    EXPECT_EQ(unzip.run(), UZ_DISK_FULL);
    EXPECT_TRUE(unzip.printed("big.bin was not written: it needs 2097152 bytes"));
    EXPECT_EQ(read_file(target / "big.bin"), "old");
    EXPECT_EQ(read_file(target / "small.txt"), "small\n");
    EXPECT_EQ(tree(target), (Names{"big.bin", "small.txt"}));
    EXPECT_LE(free_before - free_bytes(target), 4096u) << "only small.txt takes room";
}

// Three files of 20 MiB for a disk of 32 MiB: the second and third are refused before a byte of
// them is written, although the disk still shows room while the first is being written.
TEST(DiskFull, FilesStillBeingWrittenCountAgainstTheFreeSpace)
{
    ScratchFolder scratch;
    std::string why;
    const auto disk = Mount::memory_disk(scratch / "disk", 32 * mib, why);
    if (!disk)
        GTEST_SKIP() << why;
    const fs::path target = scratch / "disk" / "target";
    fs::create_directories(target);

    Unzip unzip(archive("in_flight.zip"), target);
    unzip.workers = 3;
    unzip.routines.ServCallBk = nullptr;  // as the installer calls it
    EXPECT_EQ(unzip.run(), UZ_DISK_FULL);
    EXPECT_EQ(tree(target), Names{"a.bin"});
    EXPECT_EQ(fs::file_size(target / "a.bin"), 20 * mib);
    for (const char* name : {"b.bin", "c.bin"})
        EXPECT_TRUE(unzip.printed(std::string("error: ") + name + " was not written: it needs 20971520 bytes")) << name;
    EXPECT_FALSE(unzip.printed("cannot be written")) << "a write ran into a full disk";
}

TEST(DiskFull, TheDiskFillingUpDuringAWriteLosesNothing)
{
    ScratchFolder scratch;
    std::string why;
    const auto disk = Mount::memory_disk(scratch / "disk", 136 * mib, why);
    if (!disk)
        GTEST_SKIP() << why;
    const fs::path target = scratch / "disk" / "target";
    fs::create_directories(target);
    write_file(target / "big.bin", "old");
    write_file(target / "after.txt", "old");

    Unzip unzip(archive("filling.zip"), target);
    std::int32_t status = 0;
    {
        const DiskFiller filler(target, scratch / "disk" / "filler");
        status = unzip.run();
        ASSERT_TRUE(filler.filled()) << "the disk was not filled while the library wrote";
    }
    EXPECT_EQ(status, UZ_DISK_FULL);
    EXPECT_TRUE(unzip.printed("error: big.bin cannot be written (is the disk full?)"));
    EXPECT_EQ(read_file(target / "big.bin"), "old");
    EXPECT_TRUE(temporaries(target).empty());
    // The room the failed file took is free again: the next one may or may not have fitted, but it
    // is whole either way.
    const std::string after = read_file(target / "after.txt");
    EXPECT_TRUE(after == "old" || after == "new\n") << after;
}

TEST(DiskFull, ZipBombsAreRefusedBeforeTheDiskFills)
{
    ScratchFolder scratch;
    std::string why;
    const auto disk = Mount::memory_disk(scratch / "disk", 256 * 1024, why);
    if (!disk)
        GTEST_SKIP() << why;
    const fs::path target = scratch / "disk" / "target";
    fs::create_directories(target);
    const std::uint64_t free_before = free_bytes(target);

    // Two entries sharing their data, and one whose data expand far past its recorded size.
    Unzip overlapping(archive("overlap.zip"), target);
    EXPECT_EQ(overlapping.run(), UZ_DAMAGED);
    Unzip expanding(archive("size_lie.zip"), target);
    EXPECT_EQ(expanding.run(), UZ_BAD_ENTRIES);
    EXPECT_TRUE(expanding.printed("it holds more data than its recorded size"));

    EXPECT_TRUE(fs::is_empty(target));
    EXPECT_EQ(free_bytes(target), free_before);
}

TEST(Unwritable, AReadOnlyPlaceGetsNothingAndLosesNothing)
{
    ScratchFolder scratch;
    const fs::path target = scratch / "target";
    fs::create_directories(target);
    write_file(target / "stored.txt", "old");
    std::string why;
    const auto read_only = Mount::read_only(target, why);
    if (!read_only)
        GTEST_SKIP() << why;

    Unzip into_it(archive("basic.zip"), target);
    EXPECT_EQ(into_it.run(), UZ_DISK_FULL);
    EXPECT_TRUE(into_it.printed("error: stored.txt cannot be written"));
    EXPECT_TRUE(into_it.printed("error: the folder folder/ cannot be created"));

    Unzip below_it(archive("basic.zip"), target / "missing" / "deeper");
    EXPECT_EQ(below_it.run(), UZ_DISK_FULL);
    EXPECT_TRUE(below_it.printed("cannot be created"));

    EXPECT_EQ(tree(target), Names{"stored.txt"});
    EXPECT_EQ(read_file(target / "stored.txt"), "old");
}

// Waits until `ready` holds, for 30 seconds at most.
template <typename Condition>
bool wait_until(Condition ready)
{
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (!ready()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

TEST(Killed, AnExtractionKilledMidwayLeavesNoTruncatedFile)
{
    ScratchFolder target;
    const Names names = {"a.bin", "b.bin", "c.bin", "d.bin"};
    for (const std::string& name : names)
        write_file(target / name, "old");

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Unzip unzip(archive("killable.zip"), target.path());
        unzip.options.fQuiet = 2;
        _exit(unzip.run());
    }
    // Killed once the first file is in place and before the last one is: the others are being
    // written then (they may have no name until they are complete).
    const bool midway = wait_until([&] {
        std::error_code ignored;
        return fs::file_size(target / "a.bin", ignored) == 32 * mib && fs::file_size(target / "d.bin", ignored) == 3;
    });
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(midway) << "the extraction was never seen midway";
    ASSERT_TRUE(WIFSIGNALED(status)) << "the extraction ended before it could be killed";

    for (const std::string& name : names) {
        const std::string content = read_file(target / name);
        EXPECT_TRUE(content == "old" || content == std::string(32 * mib, name[0]))
            << name << " holds " << content.size() << " bytes";
    }
}

}  // namespace
}  // namespace unzip32_test
