#include "runtime/automation.h"
#include "runtime/code_page.h"
#include "runtime/directory_search.h"
#include "runtime/error_report.h"
#include "runtime/files.h"
#include "runtime/program_end.h"
#include "runtime/text.h"
#include "runtime/text_file.h"
#include "tests/support/box_recorder.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace fennimark {
namespace {

using runtime::RunTimeError;
using testing::TempFolder;

int error_number_of(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RunTimeError& failure) {
        return failure.number();
    }
    return 0;
}

TEST(Text, NumbersFromTextFollowTheRulesOfTheLedger)
{
    EXPECT_EQ(runtime::to_int16(L"7"), 7);
    EXPECT_EQ(runtime::to_int16(L"007"), 7);
    EXPECT_EQ(runtime::to_int16(L"-32768"), -32768);
    EXPECT_EQ(runtime::to_int16(L"32767"), 32767);
    EXPECT_EQ(error_number_of([] { runtime::to_int16(L"32768"); }), runtime::error::overflow);
    EXPECT_EQ(error_number_of([] { runtime::to_int16(L"99999999999999999999"); }), runtime::error::overflow);
    EXPECT_EQ(error_number_of([] { runtime::to_int16(L""); }), runtime::error::type_mismatch);
    EXPECT_EQ(error_number_of([] { runtime::to_int16(L"abc"); }), runtime::error::type_mismatch);
    EXPECT_EQ(error_number_of([] { runtime::to_int16(L"7 7"); }), runtime::error::type_mismatch);
    EXPECT_EQ(error_number_of([] { runtime::to_int16(L"-"); }), runtime::error::type_mismatch);
}

TEST(Text, TrimmingTouchesBlanksOnlyAndDroppingFromNothingIsAnError)
{
    EXPECT_EQ(runtime::trim_blanks(L"  a b  "), L"a b");
    EXPECT_EQ(runtime::trim_blanks(std::wstring(L"\0  ", 3)), std::wstring(L"\0", 1));
    EXPECT_EQ(runtime::trim_blanks(L"\ta\t"), L"\ta\t");
    EXPECT_EQ(runtime::trim_blanks(L"    "), L"");
    EXPECT_EQ(runtime::without_last_character(L"ab"), L"a");
    EXPECT_EQ(error_number_of([] { runtime::without_last_character(L""); }), runtime::error::invalid_call);
    EXPECT_EQ(runtime::replace_all(L"aXbXX", L"X", L"\\X"), L"a\\Xb\\X\\X");
    EXPECT_EQ(runtime::padded_right(L"8", 10), L"8         ");
}

TEST(CodePage, EightBitTextIsTheSystemCodePage)
{
    ASSERT_EQ(GetACP(), 1252u);
    EXPECT_EQ(runtime::to_ansi(L"può"), "pu\xf2");
    EXPECT_EQ(runtime::from_ansi("pu\xf2"), L"può");
    EXPECT_EQ(runtime::from_ansi(std::string("a\0 ", 3)), std::wstring(L"a\0 ", 3));
    EXPECT_EQ(runtime::from_ansi_until_nul("abc\0def", 7), L"abc");
    EXPECT_EQ(runtime::from_ansi_until_nul("abcdef", 4), L"abcd");
    EXPECT_EQ(runtime::from_ansi_until_nul(nullptr, 4), L"");
}

TEST(ErrorReport, GivesNumberDescriptionAndSubjectAndEndsWithCodeTwo)
{
    testing::BoxRecorder user;
    const int code = runtime::run_guarded([] { runtime::raise(runtime::error::file_not_found, L"C:\\x\\zip32.dll"); });
    EXPECT_EQ(code, runtime::exit_code::run_time_error);
    ASSERT_EQ(user.boxes().size(), 1u);
    EXPECT_EQ(user.boxes()[0].title, L"Quorvane");
    EXPECT_EQ(user.boxes()[0].style, runtime::box_style::critical);
    EXPECT_EQ(user.boxes()[0].text, L"Errore di run-time '53':\r\n\r\nFile non trovato\r\nC:\\x\\zip32.dll");
}

TEST(ErrorReport, AnEndIsNoErrorAndAReturnIsNoEnd)
{
    testing::BoxRecorder user;
    EXPECT_EQ(runtime::run_guarded([] { runtime::end_program(1); }), 1);
    EXPECT_EQ(runtime::run_guarded([] {}), runtime::still_running);
    EXPECT_TRUE(user.boxes().empty());
}

TEST(DirectorySearch, FolderMaskSeesFoldersAndFilesButNothingHiddenOrSystem)
{
    TempFolder folder;
    testing::make_folder(folder / L"visible");
    testing::write_file(folder / L"file", "x");
    testing::make_folder(folder / L"hidden");
    SetFileAttributesW((folder / L"hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    testing::make_folder(folder / L"system");
    SetFileAttributesW((folder / L"system").c_str(), FILE_ATTRIBUTE_SYSTEM);

    using runtime::attribute::directory;
    using runtime::attribute::normal;
    EXPECT_EQ(runtime::find_first_entry(folder / L"visible", directory), L"visible");
    EXPECT_EQ(runtime::find_first_entry(folder / L"file", directory), L"file");
    EXPECT_EQ(runtime::find_first_entry(folder / L"hidden", directory), L"");
    EXPECT_EQ(runtime::find_first_entry(folder / L"system", directory), L"");
    EXPECT_EQ(runtime::find_first_entry(folder / L"missing", directory), L"");
    EXPECT_EQ(runtime::find_first_entry(folder / L"nowhere\\missing", directory), L"");
    EXPECT_EQ(runtime::find_first_entry(folder / L"file", normal), L"file");
    EXPECT_EQ(runtime::find_first_entry(folder / L"visible", normal), L"");
}

TEST(TextFile, LinesEndAtCrLfCrOrLfAndTheLastNeedsNoEnd)
{
    TempFolder folder;
    testing::write_file(folder / L"t.txt", "one\r\ntwo\nthree\r\r\nfour");
    runtime::TextFileReader reader(folder / L"t.txt");
    std::vector<std::wstring> lines;
    while (!reader.at_end())
        lines.push_back(reader.read_line());
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"one", L"two", L"three", L"", L"four"}));
}

TEST(Files, CopyReplacesTheTargetAndNamesAMissingSource)
{
    TempFolder folder;
    testing::write_file(folder / L"a", "new");
    testing::write_file(folder / L"b", "old");
    runtime::copy_file(folder / L"a", folder / L"b");
    EXPECT_EQ(testing::read_file(folder / L"b"), "new");
    try {
        runtime::copy_file(folder / L"missing", folder / L"b");
        FAIL() << "no error";
    } catch (const RunTimeError& failure) {
        EXPECT_EQ(failure.number(), runtime::error::file_not_found);
        EXPECT_EQ(failure.subject(), folder / L"missing");
    }
    EXPECT_EQ(error_number_of([&] { runtime::copy_file(folder / L"a", folder / L"no\\b"); }),
              runtime::error::path_file_access);
}

TEST(Automation, FileSystemObjectRemovesATreeButNotAReadOnlyFile)
{
    TempFolder folder;
    testing::make_folder(folder / L"tree");
    testing::make_folder(folder / L"tree\\inner");
    testing::write_file(folder / L"tree\\inner\\f.txt", "x");
    auto file_system = runtime::AutomationObject::create(L"Scripting.FileSystemObject");
    file_system.call(L"DeleteFolder", folder / L"tree");
    EXPECT_FALSE(testing::folder_exists(folder / L"tree"));

    testing::make_folder(folder / L"locked");
    testing::write_file(folder / L"locked\\f.txt", "x");
    SetFileAttributesW((folder / L"locked\\f.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(error_number_of([&] { file_system.call(L"DeleteFolder", folder / L"locked"); }),
              runtime::error::permission_denied);
    EXPECT_TRUE(testing::file_exists(folder / L"locked\\f.txt"));
}

TEST(Automation, AClassThatDoesNotExistIsError429)
{
    EXPECT_EQ(error_number_of([] { runtime::AutomationObject::create(L"No.Such.Class"); }),
              runtime::error::cannot_create_object);
}

}  // namespace
}  // namespace fennimark
