#include "runtime/ansi_path.h"
#include "runtime/automation.h"
#include "runtime/code_page.h"
#include "runtime/directory_search.h"
#include "runtime/error_report.h"
#include "runtime/files.h"
#include "runtime/folder_tree.h"
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
    // A character the code page lacks is no look-alike of it ("Ł" is not "L").
    EXPECT_EQ(runtime::to_ansi(L"\x141ukasz"), "?ukasz");
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

TEST(AnsiPath, APathTheCodePageCannotCarryGoesInItsShortFormOrIsError76)
{
    TempFolder folder;
    const std::wstring real = folder / L"\x141ukasz";  // Łukasz
    testing::make_folder(real);
    testing::write_file(real + L"\\f.txt", "real");
    // One the code page carries is left as it is, whether it exists or not.
    EXPECT_EQ(runtime::path_for_ansi_interface(folder / L"Lukasz"), folder / L"Lukasz");
    const std::wstring shortened = runtime::path_for_ansi_interface(real);
    EXPECT_TRUE(runtime::fits_ansi_code_page(shortened)) << testing::narrow(shortened);
    EXPECT_EQ(testing::read_file(shortened + L"\\f.txt"), "real");
    try {
        runtime::path_for_ansi_interface(real + L"\\missing");
        FAIL() << "no error";
    } catch (const RunTimeError& failure) {
        EXPECT_EQ(failure.number(), 76);
        EXPECT_EQ(failure.subject(), real + L"\\missing");
    }
}

TEST(FolderTree, ReadOnlyItemsStopTheRemovalUnlessForced)
{
    TempFolder folder;
    const std::wstring tree = folder / L"tree";
    testing::make_folder(tree);
    testing::make_folder(tree + L"\\inner");
    testing::write_file(tree + L"\\inner\\locked.txt", "x");
    testing::write_file(tree + L"\\hidden.txt", "x");
    SetFileAttributesW((tree + L"\\inner\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW((tree + L"\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    try {
        runtime::remove_folder_tree(tree, false);
        FAIL() << "the read-only file was removed";
    } catch (const RunTimeError& failure) {
        EXPECT_EQ(failure.number(), runtime::error::permission_denied);
        EXPECT_EQ(failure.subject(), tree);
    }
    EXPECT_TRUE(testing::file_exists(tree + L"\\inner\\locked.txt"));
    runtime::remove_folder_tree(tree, true);
    EXPECT_FALSE(testing::folder_exists(tree));
    EXPECT_NO_THROW(runtime::remove_folder_tree(tree, false));
}

TEST(FolderTree, ALinkIsRemovedAsALinkAndNothingBehindItChanges)
{
    // A link inside the tree, and the tree given as a link itself; forced and not.
    for (const wchar_t* link_name : {L"tree\\link", L"link"}) {
        for (const bool force : {false, true}) {
            SCOPED_TRACE(testing::narrow(link_name) + (force ? " forced" : ""));
            TempFolder folder;
            testing::make_folder(folder / L"outside");
            testing::write_file(folder / L"outside\\keep.txt", "x");
            testing::make_folder(folder / L"tree");
            testing::write_file(folder / L"tree\\mine.txt", "x");
            const std::wstring link = folder / link_name;
            testing::make_unix_link(link, folder / L"outside");
            const std::wstring removed = link_name == std::wstring(L"link") ? link : (folder / L"tree").wstring();
            try {
                runtime::remove_folder_tree(removed, force);
                EXPECT_FALSE(testing::folder_exists(link));
            } catch (const RunTimeError& failure) {
                // Wine cannot remove a folder link; the error names the folder being removed.
                EXPECT_EQ(failure.subject(), removed);
                testing::remove_unix_link(link);
            }
            EXPECT_EQ(testing::list_tree(folder / L"outside"), std::vector<std::wstring>{L"keep.txt"});
        }
    }
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
