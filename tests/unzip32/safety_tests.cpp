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

// Extraction, test and listing read one directory, the one libzip reads: a comment that merely
// holds the end record's signature changes nothing, a directory hidden in the comment is not the
// one extracted, and a directory record with a damaged signature is a damaged archive.
TEST(Safety, EveryModeReadsTheDirectoryLibzipReads)
{
    struct Case {
        const char* archive;
        std::int32_t status;
    };
    for (const Case& directory : {Case{"comment_signature.zip", UZ_OK}, Case{"hidden_directory.zip", UZ_OK},
                                  Case{"bad_central_signature.zip", UZ_DAMAGED}}) {
        for (const char* mode : {"extract", "test", "list"}) {
            ScratchFolder target;
            Unzip unzip(archive(directory.archive), target.path());
            unzip.options.ntflag = mode == std::string("test");
            unzip.options.nvflag = mode == std::string("list");
            EXPECT_EQ(unzip.run(), directory.status) << directory.archive << ", " << mode;
        }
    }
    ScratchFolder target;
    Unzip unzip(archive("hidden_directory.zip"), target.path());
    ASSERT_EQ(unzip.run(), UZ_OK);
    EXPECT_EQ(read_file(target / "a.txt"), "what every reader sees\n");
}

// Only a folder entry may lose the end of its name silently (it names the same folder); a file
// entry whose name names no file is dropped or renamed with a warning. A folder may be marked by
// its MS-DOS attribute alone.
TEST(Safety, NamesThatNameNoFileAreSaidAndFolderAttributesMakeFolders)
{
    struct Case {
        const char* archive;
        std::int32_t status;
        Names written;
        Names warnings;
    };
    for (const Case& names :
         {Case{"nameless.zip", UZ_WARNING, {"a", "b/", "ok.txt"},
               {"warning:  was skipped", "warning: . was skipped", "warning: a/. is written as a,"}},
          Case{"dos_folder.zip", UZ_OK, {"dosdir/", "dosdir/inside.txt"}, {}}}) {
        ScratchFolder target;
        Unzip unzip(archive(names.archive), target.path());
        EXPECT_EQ(unzip.run(), names.status) << names.archive;
        EXPECT_EQ(tree(target.path()), names.written) << names.archive;
        Names warnings;
        for (const std::string& line : unzip.lines)
            if (line.rfind("warning:", 0) == 0 || line.rfind("error:", 0) == 0)
                warnings.push_back(line);
        EXPECT_EQ(warnings.size(), names.warnings.size()) << names.archive;
        for (const std::string& warning : names.warnings)
            EXPECT_TRUE(unzip.printed(warning)) << warning;
    }
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
