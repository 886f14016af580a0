// Archives made to cost time or memory out of all proportion to their size: names of 65,535
// bytes, and folders nested some two thousand deep, entry after entry.

#include "unzip_harness.h"

#include <gtest/gtest.h>

#include <chrono>

#ifdef _WIN32
#include <windows.h>
#endif

namespace unzip32_test {
namespace {

constexpr std::uint64_t mib = 1024 * 1024;

// The sanitizers slow every allocation and copy several times over: the bound stays far below what
// work growing with the square of a name's length takes (about a minute), above what they cost.
#if defined(__SANITIZE_ADDRESS__)
constexpr auto long_names_bound = std::chrono::seconds(8);
#else
constexpr auto long_names_bound = std::chrono::seconds(2);
#endif

// Wine finds a file by looking up its path one component at a time in its own process, at a cost
// that grows with the square of the depth for every call: paths thousands of folders deep take it
// hours, which would measure Wine, not the library. Windows itself runs this test.
bool wine_walks_paths_itself()
{
#ifdef _WIN32
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

// Paths longer than any system takes: each is refused before a folder of it is made, and in time
// in proportion to its length, although every one is checked against the writes under way.
TEST(Scale, LongNamesTakeTimeInProportionToTheirLength)
{
    ScratchFolder target(memory_folder());
    Unzip unzip(archive("long_names.zip"), target.path());
    // Writes under way, so that every entry's path is checked against them; no service routine, as
    // the installer calls it.
    unzip.workers = 2;
    unzip.routines.ServCallBk = nullptr;
    unzip.options.fQuiet = 1;
    const auto start = std::chrono::steady_clock::now();
    const std::int32_t status = unzip.run();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, long_names_bound);
    EXPECT_EQ(status, UZ_DISK_FULL);
    EXPECT_TRUE(unzip.printed("x59.txt cannot be written: its path is longer than the system allows"));
    EXPECT_EQ(tree(target.path()), std::vector<std::string>{"ordinary.txt"});
    EXPECT_EQ(read_file(target / "ordinary.txt"), "ordinary\n");
}

TEST(Scale, DeepFoldersKeepMemoryBounded)
{
    if (wine_walks_paths_itself())
        GTEST_SKIP() << "Wine's own path lookups take hours on paths this deep";
    ScratchFolder target(memory_folder());
    Unzip unzip(archive("deep_folders.zip"), target.path());
    unzip.options.fQuiet = 1;
    std::int32_t status = -1;
    // ctest runs each test in a process of its own: memory freed by an earlier test would hide growth.
    const std::uint64_t growth = peak_memory_growth([&] { status = unzip.run(); });
    EXPECT_EQ(status, UZ_OK);
    EXPECT_TRUE(unzip.lines.empty());
    EXPECT_LT(growth, 32 * mib);
}

}  // namespace
}  // namespace unzip32_test
