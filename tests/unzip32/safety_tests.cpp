// Archives a third party may have made or changed: nothing is ever written outside the target
// folder, and no damage ends in a crash, a hang, a truncated file or a harmed one.

#include "unzip_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace unzip32_test {
namespace {

using Names = std::vector<std::string>;

TEST(Safety, NamesThatPointOutsideAreKeptInside)
{
    ScratchFolder scratch;
    Unzip unzip(archive("hostile.zip"), scratch / "target");
    EXPECT_EQ(unzip.run(), UZ_WARNING);
    EXPECT_EQ(tree(scratch.path()),
              (Names{"target/", "target/a/", "target/a/b.txt", "target/abs.txt", "target/back.txt", "target/dot/",
                     "target/dot/inside.txt", "target/evil.txt", "target/safe.txt", "target/server/",
                     "target/server/share/", "target/server/share/unc.txt", "target/x.txt"}));
    EXPECT_EQ(read_file(scratch / "target" / "evil.txt"), "evil\n");
    for (const char* name : {"../evil.txt is written as evil.txt", "/abs.txt", "C:\\x.txt", "a/../../b.txt"})
        EXPECT_TRUE(unzip.printed(std::string("warning: ") + name)) << name;
    EXPECT_FALSE(unzip.printed("safe.txt is written"));
}

TEST(Safety, SymbolicLinkEntriesAreNeverCreated)
{
    ScratchFolder target;
    Unzip unzip(archive("symlink.zip"), target.path());
    EXPECT_EQ(unzip.run(), UZ_WARNING);
    EXPECT_EQ(tree(target.path()), Names{"real.txt"});
    EXPECT_TRUE(unzip.printed("link is a symbolic link and was skipped"));
}

TEST(Safety, OverlappingEntriesAreRefusedWhole)
{
    ScratchFolder target;
    Unzip unzip(archive("overlap.zip"), target.path());
    EXPECT_EQ(unzip.run(), UZ_DAMAGED);
    EXPECT_TRUE(fs::is_empty(target.path()));
    EXPECT_TRUE(unzip.printed("share their data"));
}

TEST(Safety, DamagedArchivesGiveAStatusAndNoPartialFile)
{
    struct Case {
        const char* archive;
        std::int32_t status;
        Names written;
    };
    for (const Case& damaged : {Case{"truncated.zip", UZ_NO_ARCHIVE, {}}, Case{"bad_offset.zip", UZ_DAMAGED, {}},
                                Case{"size_lie.zip", UZ_BAD_ENTRIES, {}}, Case{"crc.zip", UZ_BAD_ENTRIES, {"good.txt"}},
                                Case{"unsupported.zip", UZ_BAD_ENTRIES, {"good.txt"}},
                                Case{"unsupported_only.zip", UZ_UNSUPPORTED, {}},
                                Case{"strong_encryption.zip", UZ_UNSUPPORTED, {}}}) {
        ScratchFolder target;
        Unzip unzip(archive(damaged.archive), target.path());
        EXPECT_EQ(unzip.run(), damaged.status) << damaged.archive;
        EXPECT_EQ(tree(target.path()), damaged.written) << damaged.archive;
    }
}

TEST(Safety, AFailedEntryLeavesTheFileItWasToReplaceAsItWas)
{
    ScratchFolder target;
    write_file(target / "bad.txt", "precious");
    Unzip unzip(archive("crc.zip"), target.path());
    EXPECT_EQ(unzip.run(), UZ_BAD_ENTRIES);
    EXPECT_EQ(read_file(target / "bad.txt"), "precious");
    EXPECT_TRUE(unzip.printed("error: bad.txt was not written: CRC mismatch"));
    EXPECT_EQ(tree(target.path()), (Names{"bad.txt", "good.txt"}));
}

TEST(Safety, AnEntryLargerThanTheDiskIsRefusedBeforeWriting)
{
    ScratchFolder target;
    write_file(target / "huge.bin", "kept");
    Unzip unzip(archive("huge_declared.zip"), target.path());
    EXPECT_EQ(unzip.run(), UZ_DISK_FULL);
    EXPECT_TRUE(unzip.printed("huge.bin was not written: it needs 1125899906842624 bytes"));
    EXPECT_EQ(tree(target.path()), Names{"huge.bin"});
    EXPECT_EQ(read_file(target / "huge.bin"), "kept");

    Unzip test(archive("huge_declared.zip"), target.path());
    test.options.ntflag = 1;
    EXPECT_EQ(test.run(), UZ_BAD_ENTRIES) << "a test writes nothing, and finds the data short";
}

// Changes bytes of a sound archive at places chosen by a fixed sequence, and cuts it short, many
// times: every run must end with a status, and nothing may appear beside the target folder.
TEST(Safety, MangledArchivesNeverEscapeOrCrash)
{
    const std::string sound = read_file(archive("basic.zip"));
    const std::set<std::int32_t> statuses = {UZ_OK, UZ_WARNING, UZ_BAD_ENTRIES, UZ_DAMAGED,
                                             UZ_NO_ARCHIVE, UZ_UNSUPPORTED, UZ_BAD_PASSWORD};
    ScratchFolder scratch;
    std::uint32_t random = 12345;
    const auto next = [&random] { return random = random * 1103515245u + 12345u, random >> 8; };
    for (int round = 0; round < 400; ++round) {
        std::string mangled = sound;
        if (round % 4 == 3) {
            mangled.resize(next() % mangled.size());
        } else {
            for (int flips = 1 + round % 3; flips > 0; --flips)
                mangled[next() % mangled.size()] = static_cast<char>(next());
        }
        write_file(scratch / "mangled.zip", mangled);
        Unzip unzip(scratch / "mangled.zip", scratch / "target");
        unzip.options.fQuiet = 2;
        unzip.passwords.assign(10, std::string("guess"));
        EXPECT_EQ(statuses.count(unzip.run()), 1u) << round;
        const Names beside = tree(scratch.path());
        EXPECT_TRUE(std::all_of(beside.begin(), beside.end(), [](const std::string& name) {
            return name == "mangled.zip" || name.rfind("target/", 0) == 0;
        })) << round;
        fs::remove_all(scratch / "target");
    }
}

#ifndef _WIN32
TEST(Safety, ALinkAlreadyInTheTargetIsNotFollowed)
{
    ScratchFolder scratch;
    fs::create_directories(scratch / "target");
    fs::create_directories(scratch / "elsewhere");
    fs::create_directory_symlink(scratch / "elsewhere", scratch / "target" / "folder");
    Unzip unzip(archive("basic.zip"), scratch / "target");
    EXPECT_EQ(unzip.run(), UZ_WARNING);
    EXPECT_TRUE(fs::is_empty(scratch / "elsewhere"));
    EXPECT_TRUE(unzip.printed("a link is in the way"));
    EXPECT_TRUE(fs::exists(scratch / "target" / "stored.txt"));
}

TEST(Safety, NamesWindowsRefusesAreOrdinaryHere)
{
    ScratchFolder target;
    Unzip unzip(archive("windows_names.zip"), target.path());
    EXPECT_EQ(unzip.run(), UZ_OK);
    EXPECT_EQ(tree(target.path()), (Names{"CON", "ab:c.txt", "aux", "dir/", "dir/inner.txt", "nul.txt",
                                          "ok.txt", "stream.txt:hidden", "sub/", "sub/COM1.log", "trailing. ",
                                          "what?.txt"}));
}
#endif

}  // namespace
}  // namespace unzip32_test
