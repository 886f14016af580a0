// What a caller needs to show progress: the totals before the first routine is called, a service
// routine that does not hold the writers back, and a stop that leaves only whole files.

#include "unzip_harness.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace unzip32_test {
namespace {

using Names = std::vector<std::string>;

TEST(Progress, TheTotalsOfTheSelectedEntriesAreThereBeforeTheFirstRoutineInEveryMode)
{
    struct Case {
        const char* mode;
        Names include;
        std::uint32_t members, size;
    };
    const Case cases[] = {
        {"list", {}, 6, 12 + 5500 + 5 + 7},   {"test", {}, 6, 12 + 5500 + 5 + 7},
        {"extract", {}, 6, 12 + 5500 + 5 + 7}, {"extract", {"folder/*"}, 2, 5},
        {"test", {"*.txt"}, 4, 12 + 5500 + 5 + 7},
    };
    for (const Case& c : cases) {
        ScratchFolder target;
        Unzip unzip(archive("basic.zip"), target.path());
        unzip.options.nvflag = std::string(c.mode) == "list";
        unzip.options.ntflag = std::string(c.mode) == "test";
        unzip.include = c.include;
        unzip.routines.NumMembers = 999;  // whatever the caller left there is replaced
        ASSERT_EQ(unzip.run(), UZ_OK) << c.mode;
        ASSERT_TRUE(unzip.record_at_first_call) << c.mode;
        EXPECT_EQ(unzip.record_at_first_call->NumMembers, c.members) << c.mode << " " << c.include.size();
        EXPECT_EQ(unzip.record_at_first_call->TotalSize, c.size) << c.mode << " " << c.include.size();
        EXPECT_EQ(unzip.record_at_first_call->cchComment, 9u) << c.mode;
        EXPECT_EQ(unzip.routines.NumMembers, c.members) << c.mode;
    }
}

TEST(Progress, TheServiceRoutineDoesNotWaitForEarlierWrites)
{
    // With writers, the file handed out just before is still unreported when the routine hears
    // of the next entry; on the calling thread alone it is already written and reported.
    for (const unsigned workers : {0u, 2u}) {
        ScratchFolder target;
        Unzip unzip(archive("basic.zip"), target.path());
        unzip.workers = workers;
        ASSERT_EQ(unzip.run(), UZ_OK);
        ASSERT_GE(unzip.serviced.size(), 2u);
        ASSERT_EQ(unzip.serviced[1], "deflated.txt");
        const bool first_reported = std::any_of(unzip.lines.begin(), unzip.lines.begin() + unzip.lines_at_service[1],
                                                [](const std::string& line) { return line.find("stored.txt") != std::string::npos; });
        EXPECT_EQ(first_reported, workers == 0) << workers << " workers";
        EXPECT_EQ(unzip.calls_from_other_threads, 0);
        EXPECT_EQ(unzip.serviced.size(), 6u);
    }
}

TEST(Progress, AStopLetsTheFilesHandedOutFinishAndLeavesNothingElse)
{
    struct Case {
        const char* archive;
        int stop_after;
        unsigned workers;
    };
    for (const Case c : {Case{"basic.zip", 2, 0}, Case{"basic.zip", 2, 2}, Case{"many.zip", 300, 2}, Case{"many.zip", 1, 4}}) {
        ScratchFolder target;
        Unzip unzip(archive(c.archive), target.path());
        unzip.workers = c.workers;
        unzip.cancel_after = c.stop_after;
        EXPECT_EQ(unzip.run(), UZ_WARNING) << c.archive << " " << c.workers;
        ASSERT_EQ(unzip.serviced.size(), static_cast<std::size_t>(c.stop_after) + 1) << "asked again after the stop";
        EXPECT_TRUE(unzip.printed("warning: the run was cancelled before " + unzip.serviced.back()));

        // Exactly the files handed out before the stop, each whole, and no temporary file.
        Names expected(unzip.serviced.begin(), unzip.serviced.end() - 1);
        expected.erase(std::remove_if(expected.begin(), expected.end(), [](const std::string& n) { return n.back() == '/'; }),
                       expected.end());
        Names files;
        for (const std::string& name : tree(target.path())) {
            if (name.back() != '/')
                files.push_back(name);
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(files, expected) << c.archive << " " << c.workers;
        if (std::string(c.archive) == "basic.zip")
            EXPECT_EQ(read_file(target / "deflated.txt").size(), 5500u);
        else
            for (const std::string& name : files)
                EXPECT_EQ(read_file(target / name), name.substr(name.find("/f") + 2, name.size() - name.find("/f") - 6));
    }
}

}  // namespace
}  // namespace unzip32_test
