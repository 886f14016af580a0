// Extraction: what lands on disk, with which names and times, and how existing files are treated.

#include "unzip_harness.h"

#include <gtest/gtest.h>

#include <ctime>

namespace unzip32_test {
namespace {

using Names = std::vector<std::string>;

// The times the archives give, read as local times, as the format means them.
std::int64_t local_time(int year, int month, int day, int hour, int minute, int second)
{
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    parts.tm_isdst = -1;
    return std::mktime(&parts);
}

const Names basic_tree = {"deflated.txt", "empty/", "folder/", "folder/nested/", "folder/nested/deep.txt",
                          "spaced name.txt", "stored.txt"};

TEST(Extraction, WritesEveryEntryWithItsContentAndTime)
{
    ScratchFolder target;
    Unzip unzip(archive("basic.zip"), target.path());
    ASSERT_EQ(unzip.run(), UZ_OK);

    EXPECT_EQ(tree(target.path()), basic_tree);
    EXPECT_EQ(read_file(target / "stored.txt"), "stored text\n");
    std::string deflated;
    for (int i = 0; i < 500; ++i)
        deflated += "deflate me ";
    EXPECT_EQ(read_file(target / "deflated.txt"), deflated);
    EXPECT_EQ(read_file(target / "folder/nested/deep.txt"), "deep\n");
    EXPECT_EQ(modified(target / "stored.txt"), local_time(2008, 3, 5, 9, 7, 10));
    EXPECT_EQ(modified(target / "deflated.txt"), local_time(2019, 12, 31, 23, 59, 58));

    // One line per file, each ending in a line feed; listing and questions are for other modes.
    int files = 0;
    for (const std::string& line : unzip.lines) {
        EXPECT_EQ(line.find('\n'), line.size() - 1) << line;
        files += line.find("extracted: ") != std::string::npos;
    }
    EXPECT_EQ(files, 4);
    EXPECT_TRUE(unzip.printed("extracted: folder/nested/deep.txt\n"));
    EXPECT_TRUE(unzip.listed.empty());
    EXPECT_TRUE(unzip.replace_questions.empty());
    EXPECT_EQ(unzip.sounds, 1);
    EXPECT_EQ(unzip.serviced.size(), 6u);
}

TEST(Extraction, CreatesTheTargetFolderWithItsParents)
{
    ScratchFolder scratch;
    Unzip unzip(archive("basic.zip"), scratch / "new" / "deeper");
    ASSERT_EQ(unzip.run(), UZ_OK);
    EXPECT_EQ(tree(scratch / "new" / "deeper"), basic_tree);
}

TEST(Extraction, OptionsShapeTheNames)
{
    ScratchFolder flat;
    Unzip flattened(archive("basic.zip"), flat.path());
    flattened.options.ndflag = 0;
    EXPECT_EQ(flattened.run(), UZ_OK);
    EXPECT_EQ(tree(flat.path()), (Names{"deep.txt", "deflated.txt", "spaced name.txt", "stored.txt"}));

    ScratchFolder underscores;
    Unzip spaced(archive("basic.zip"), underscores.path());
    spaced.options.SpaceToUnderscore = 1;
    EXPECT_EQ(spaced.run(), UZ_OK);
    EXPECT_TRUE(fs::exists(underscores / "spaced_name.txt"));
    EXPECT_FALSE(fs::exists(underscores / "spaced name.txt"));
}

TEST(Extraction, QuietLevelsLeaveOutProgressThenEverything)
{
    for (int level : {0, 1, 2}) {
        ScratchFolder target;
        Unzip unzip(archive("hostile.zip"), target.path());
        unzip.options.fQuiet = level;
        EXPECT_EQ(unzip.run(), UZ_WARNING);
        EXPECT_EQ(unzip.printed("extracted: safe.txt"), level == 0) << level;
        EXPECT_EQ(unzip.printed("../evil.txt"), level <= 1) << level;
        if (level == 2) {
            EXPECT_TRUE(unzip.lines.empty());
        }
    }
}

TEST(Extraction, NamesFlaggedUtf8AndLegacyNamesLandWithTheirCharacters)
{
    ScratchFolder target;
    Unzip unzip(archive("names.zip"), target.path());
    ASSERT_EQ(unzip.run(), UZ_OK);
    EXPECT_EQ(read_file(target / fs::path(u8"café.txt")), "utf-8 flagged\n");
    EXPECT_EQ(read_file(target / fs::path(u8"Ωμέγα/ω.txt")), "greek\n");
    EXPECT_EQ(read_file(target / fs::path(u8"résumé.txt")), "code page 437\n");
    // Messages carry the names in the system's 8-bit code page.
#ifdef _WIN32
    EXPECT_TRUE(unzip.printed("caf\xe9.txt"));
    EXPECT_TRUE(unzip.printed("r\xe9sum\xe9.txt"));
    EXPECT_TRUE(unzip.printed("?????" "/?.txt"));  // split: "??/" would read as a trigraph
#else
    EXPECT_TRUE(unzip.printed("caf\xc3\xa9.txt"));
    EXPECT_TRUE(unzip.printed("r\xc3\xa9sum\xc3\xa9.txt"));
#endif
}

// Writing 70,000 files takes seconds natively but minutes under Wine, whose file calls are slow:
// there the listing and the test of the same archive show that every entry is reached.
#ifndef _WIN32
TEST(Extraction, PastTheClassicLimitOf65535Entries)
{
    ScratchFolder target;
    Unzip unzip(archive("many.zip"), target.path());
    unzip.options.fQuiet = 2;
    unzip.routines.ServCallBk = nullptr;
    ASSERT_EQ(unzip.run(), UZ_OK);
    std::size_t files = 0;
    for (const auto& item : fs::recursive_directory_iterator(target.path()))
        files += item.is_regular_file();
    EXPECT_EQ(files, 70'000u);
    EXPECT_EQ(read_file(target / "d69" / "f69999.txt"), "69999");
}
#endif

class Replacing : public ::testing::Test {
protected:
    // Older copies of four of the archive's files, in the archive's order.
    void SetUp() override
    {
        fs::create_directories(target / "folder" / "nested");
        for (const char* name : {"stored.txt", "deflated.txt", "folder/nested/deep.txt", "spaced name.txt"})
            write_file(target / name, "old");
    }
    std::string content(const char* name) { return read_file(target / name); }

    ScratchFolder target;
};

TEST_F(Replacing, NoflagReplacesWithoutAsking)
{
    Unzip unzip(archive("basic.zip"), target.path());
    unzip.options.PromptToOverwrite = 1;
    EXPECT_EQ(unzip.run(), UZ_OK);
    EXPECT_TRUE(unzip.replace_questions.empty());
    EXPECT_EQ(content("stored.txt"), "stored text\n");
    EXPECT_TRUE(unzip.printed("replaced: stored.txt"));
}

TEST_F(Replacing, WithoutEitherFlagFilesAreLeftWithAWarning)
{
    for (bool prompt_without_routine : {false, true}) {
        Unzip unzip(archive("basic.zip"), target.path());
        unzip.options.noflag = 0;
        unzip.options.PromptToOverwrite = prompt_without_routine;
        unzip.routines.replace = nullptr;
        EXPECT_EQ(unzip.run(), UZ_WARNING);
        EXPECT_EQ(content("stored.txt"), "old");
        EXPECT_TRUE(unzip.printed("stored.txt: it already exists"));
    }
}

TEST_F(Replacing, TheAnswersAreFollowed)
{
    Unzip unzip(archive("basic.zip"), target.path());
    unzip.options.noflag = 0;
    unzip.options.PromptToOverwrite = 1;
    unzip.replace_answers = {IDM_REPLACE_NO, IDM_REPLACE_YES, IDM_REPLACE_NONE};
    EXPECT_EQ(unzip.run(), UZ_OK);
    EXPECT_EQ(content("stored.txt"), "old");
    EXPECT_EQ(content("deflated.txt").substr(0, 7), "deflate");
    EXPECT_EQ(content("folder/nested/deep.txt"), "old");
    EXPECT_EQ(content("spaced name.txt"), "old");  // "none from now on": not even asked
    ASSERT_EQ(unzip.replace_questions.size(), 3u);
    const std::string expected_path = ansi(target / "stored.txt");
    EXPECT_EQ(unzip.replace_questions[0], expected_path);
}

TEST_F(Replacing, AllFromNowOnAndUnknownAnswers)
{
    Unzip all(archive("basic.zip"), target.path());
    all.options.noflag = 0;
    all.options.PromptToOverwrite = 1;
    all.replace_answers = {IDM_REPLACE_TEXT, IDM_REPLACE_ALL};
    EXPECT_EQ(all.run(), UZ_OK);
    EXPECT_EQ(all.replace_questions.size(), 2u);
    EXPECT_EQ(content("stored.txt"), "old");
    EXPECT_EQ(content("spaced name.txt"), "spaces\n");

    SetUp();
    Unzip unknown(archive("basic.zip"), target.path());
    unknown.options.noflag = 0;
    unknown.options.PromptToOverwrite = 1;
    unknown.replace_answers = {7, -1, 0, 105};
    EXPECT_EQ(unknown.run(), UZ_OK);
    EXPECT_EQ(content("stored.txt"), "old");
    EXPECT_EQ(content("folder/nested/deep.txt"), "old");
}

TEST_F(Replacing, OnlyNewerAndFreshenCompareTimes)
{
    set_modified(target / "stored.txt", local_time(2000, 1, 1, 0, 0, 0));
    set_modified(target / "deflated.txt", local_time(2030, 1, 1, 0, 0, 0));
    fs::remove(target / "folder" / "nested" / "deep.txt");

    Unzip freshen(archive("basic.zip"), target.path());
    freshen.options.nfflag = 1;
    EXPECT_EQ(freshen.run(), UZ_OK);
    EXPECT_EQ(content("stored.txt"), "stored text\n");
    EXPECT_EQ(content("deflated.txt"), "old");
    EXPECT_FALSE(fs::exists(target / "folder/nested/deep.txt"));

    Unzip newer(archive("basic.zip"), target.path());
    newer.options.ExtractOnlyNewer = 1;
    EXPECT_EQ(newer.run(), UZ_OK);
    EXPECT_EQ(content("deflated.txt"), "old");
    EXPECT_EQ(content("folder/nested/deep.txt"), "deep\n");
    // The file written a moment ago carries the entry's own time: not older, so left.
    EXPECT_TRUE(newer.printed("skipped: stored.txt"));
}

TEST_F(Replacing, AFileThatCannotBeWrittenIsLeftAndTheRunGoesOn)
{
    make_read_only(target / "stored.txt", true);
    fs::remove_all(target / "folder");
    write_file(target / "folder", "a file where a folder belongs");

    Unzip unzip(archive("basic.zip"), target.path());
    EXPECT_EQ(unzip.run(), UZ_DISK_FULL);
    EXPECT_EQ(content("stored.txt"), "old");
    EXPECT_TRUE(unzip.printed("stored.txt cannot be replaced"));
    EXPECT_TRUE(unzip.printed("folder/nested/deep.txt"));
    EXPECT_EQ(content("deflated.txt").substr(0, 7), "deflate");
    EXPECT_EQ(content("spaced name.txt"), "spaces\n");
    make_read_only(target / "stored.txt", false);
}

}  // namespace
}  // namespace unzip32_test
