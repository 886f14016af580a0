// The patch ledger against real files: every refusal with its exact message, and the exact bytes
// appended when the patch may go on.

#include "app/form1.h"
#include "install/patch_ledger.h"
#include "runtime/events.h"
#include "runtime/handles.h"
#include "runtime/program_end.h"
#include "runtime/short_date.h"
#include "tests/support/box_recorder.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace fennimark {
namespace {

const std::wstring missing_predecessor =
    L"Non puoi installare questa patch perché devi prima installare la patch n. 7";

std::string today()
{
    std::string bytes;
    for (wchar_t c : runtime::short_date_today())
        bytes += static_cast<char>(c);
    return bytes;
}

class Ledger : public ::testing::Test {
protected:
    std::wstring ledger() const { return folder_ / L"patch.txt"; }

    // Runs the check on the ledger as it stands and returns how it ended.
    int check()
    {
        return runtime::run_guarded([this] { form_.controlla_file(ledger(), PATCH_NUMBER); });
    }
    int check(const std::string& content)
    {
        testing::write_file(ledger(), content);
        return check();
    }
    void expect_single_box(const std::wstring& text, unsigned style = 64)
    {
        ASSERT_EQ(user_.boxes().size(), 1u);
        EXPECT_EQ(user_.boxes()[0].text, text);
        EXPECT_EQ(user_.boxes()[0].style, style);
        EXPECT_EQ(user_.boxes()[0].title, L"Quorvane");
    }

    testing::TempFolder folder_;
    testing::BoxRecorder user_;
    Form1 form_;
};

TEST_F(Ledger, AfterPatchSevenTheEntryForEightIsAppendedWithTodaysDate)
{
    const std::string before = "6         01/02/2020\r\n7         03/04/2021\r\n";
    EXPECT_EQ(check(before), runtime::still_running);
    EXPECT_TRUE(user_.boxes().empty());
    EXPECT_EQ(testing::read_file(ledger()), before + "8         " + today() + "\r\n");
    // The previous bytes stay beside it until the catalogue is replaced.
    EXPECT_EQ(testing::read_file(folder_ / L"patch.txt - copia prima della patch 8"), before);
    ASSERT_EQ(elenco_patch.size(), 2u);
    EXPECT_EQ(elenco_patch[1].indice, 1);
    EXPECT_EQ(elenco_patch[1].numero_patch, L"7         ");
    EXPECT_EQ(elenco_patch[1].data_patch, L"03/04/2021");
}

TEST_F(Ledger, ALaterPatchAlreadyInstalledStillLetsEightIn)
{
    EXPECT_EQ(check("7         x\r\n9         y\r\n"), runtime::still_running);
    EXPECT_EQ(testing::read_file(ledger()), "7         x\r\n9         y\r\n8         " + today() + "\r\n");
}

TEST_F(Ledger, AMissingPredecessorIsRefusedAndTheLedgerLeftAlone)
{
    const std::string before = "5         a\r\n6         b\r\n";
    EXPECT_EQ(check(before), runtime::exit_code::refused);
    expect_single_box(missing_predecessor);
    EXPECT_EQ(testing::read_file(ledger()), before);
}

TEST_F(Ledger, PatchEightAnywhereIsRefusedWithItsDate)
{
    for (const std::string& content : {std::string("8         12/11/2025\r\n7         x\r\n"),
                                       std::string("6         x\r\n8         12/11/2025\r\n7         y\r\n"),
                                       std::string("5         x\r\n8         12/11/2025\r\n")}) {
        testing::BoxRecorder user;
        EXPECT_EQ(check(content), runtime::exit_code::refused);
        ASSERT_EQ(user.boxes().size(), 1u);
        EXPECT_EQ(user.boxes()[0].text, L"Hai già installato questa patch in data 12/11/2025");
        EXPECT_EQ(user.boxes()[0].style, 64u);
        EXPECT_EQ(testing::read_file(ledger()), content);
    }
}

TEST_F(Ledger, ADateIsReadFromColumnElevenForTenCharactersAndTrimmed)
{
    EXPECT_EQ(check("8"), runtime::exit_code::refused);
    expect_single_box(L"Hai già installato questa patch in data ");

    testing::BoxRecorder user;
    EXPECT_EQ(check("8         1/2/2020 10:00:00\r\n"), runtime::exit_code::refused);
    ASSERT_EQ(user.boxes().size(), 1u);
    EXPECT_EQ(user.boxes()[0].text, L"Hai già installato questa patch in data 1/2/2020 1");
}

TEST_F(Ledger, AMissingHiddenOrSystemLedgerIsRefusedAndNothingIsCreated)
{
    EXPECT_EQ(check(), runtime::exit_code::refused);
    expect_single_box(missing_predecessor);
    EXPECT_FALSE(testing::file_exists(ledger()));

    for (DWORD attribute : {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
        testing::BoxRecorder user;
        testing::write_file(ledger(), "7         x\r\n");
        SetFileAttributesW(ledger().c_str(), attribute);
        EXPECT_EQ(check(), runtime::exit_code::refused);
        ASSERT_EQ(user.boxes().size(), 1u);
        EXPECT_EQ(user.boxes()[0].text, missing_predecessor);
        SetFileAttributesW(ledger().c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(testing::read_file(ledger()), "7         x\r\n");
    }
}

TEST_F(Ledger, ALedgerWithoutEntriesIsRefusedAndDeleted)
{
    for (const std::string& content : {std::string(), std::string("\r\n\r\n\r\n")}) {
        testing::BoxRecorder user;
        EXPECT_EQ(check(content), runtime::exit_code::refused);
        ASSERT_EQ(user.boxes().size(), 1u);
        EXPECT_EQ(user.boxes()[0].text, missing_predecessor);
        EXPECT_FALSE(testing::file_exists(ledger()));
    }
}

TEST_F(Ledger, EmptyLinesAreNoEntriesAndTheLastEntryIsTheLastNonEmptyLine)
{
    EXPECT_EQ(check("\r\n5         a\r\n\r\n7         b\r\n\r\n\r\n"), runtime::still_running);
    EXPECT_EQ(elenco_patch.size(), 2u);

    testing::BoxRecorder user;
    EXPECT_EQ(check("7         a\r\n\r\n6         b\r\n\r\n"), runtime::exit_code::refused);
    ASSERT_EQ(user.boxes().size(), 1u);
    EXPECT_EQ(user.boxes()[0].text, missing_predecessor);
}

TEST_F(Ledger, LeadingBlanksAndZerosInTheNumberAreAllowed)
{
    EXPECT_EQ(check("   7      x\r\n"), runtime::still_running);
    EXPECT_EQ(check("007       x\r\n"), runtime::still_running);
}

TEST_F(Ledger, AnEntryThatIsNotANumberIsARunTimeErrorAndNothingIsAppended)
{
    for (const std::string& content : {std::string("7         x\r\n          \r\n"), std::string("sette     x\r\n"),
                                       std::string("70000     x\r\n")}) {
        testing::BoxRecorder user;
        EXPECT_EQ(check(content), runtime::exit_code::run_time_error);
        ASSERT_EQ(user.boxes().size(), 1u);
        EXPECT_EQ(user.boxes()[0].style, 16u);
        EXPECT_EQ(user.boxes()[0].text.rfind(L"Errore di run-time '", 0), 0u) << user.boxes()[0].text;
        EXPECT_EQ(testing::read_file(ledger()), content);
    }
}

TEST_F(Ledger, ALedgerThatCannotBeWrittenIsARunTimeErrorThatLeavesNothingBehind)
{
    testing::write_file(ledger(), "7         x\r\n");
    // Another program reading it, and sharing it for reading only.
    runtime::FileHandle reader(CreateFileW(ledger().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(reader);
    EXPECT_EQ(check(), runtime::exit_code::run_time_error);
    ASSERT_EQ(user_.boxes().size(), 1u);
    EXPECT_EQ(user_.boxes()[0].text.rfind(L"Errore di run-time '70':", 0), 0u) << user_.boxes()[0].text;
    EXPECT_EQ(testing::read_file(ledger()), "7         x\r\n");
    EXPECT_EQ(testing::list_tree(folder_.path()), std::vector<std::wstring>{L"patch.txt"});
}

TEST_F(Ledger, AnEntryIsNeverGluedOntoALastLineWithoutItsEnd)
{
    EXPECT_EQ(check("6         x\r\n7         y"), runtime::still_running);
    EXPECT_EQ(testing::read_file(ledger()), "6         x\r\n7         y\r\n8         " + today() + "\r\n");
    // And the ledger so written refuses patch 8 next time.
    testing::BoxRecorder user;
    EXPECT_EQ(check(), runtime::exit_code::refused);
    ASSERT_EQ(user.boxes().size(), 1u);
    EXPECT_EQ(user.boxes()[0].text.rfind(L"Hai già installato questa patch in data ", 0), 0u);
}

TEST_F(Ledger, WindowEventsRunOnceAfterEachLineRead)
{
    const auto before = runtime::do_events_count();
    EXPECT_EQ(check("5         a\r\n\r\n6         b\r\n7         c\r\n"), runtime::still_running);
    EXPECT_EQ(runtime::do_events_count() - before, 4u);
}

TEST(LedgerLine, IsTheNumberPaddedToTenColumnsThenTheDate)
{
    EXPECT_EQ(ledger_line(8, L"07/12/2026"), L"8         07/12/2026");
    EXPECT_EQ(ledger_line(12, L"x"), L"12        x");
}

}  // namespace
}  // namespace fennimark
