// The installer run as a user runs it: the real program on a machine set up for each scenario,
// its boxes read and answered from outside, then its files and exit code checked.

#include "runtime/handles.h"
#include "tests/e2e/machine.h"
#include "tests/support/files.h"
#include "tests/support/system_folders.h"
#include "tests/support/window_probe.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>

namespace fennimark::e2e {
namespace {

using testing::BoxIcon;

const std::wstring no_catalogue = L"Non hai installato il catalogo. La patch non può essere creata";
const std::wstring missing_predecessor =
    L"Non puoi installare questa patch perché devi prima installare la patch n. 7";
const std::wstring already_installed = L"Hai già installato questa patch in data ";
const std::wstring success = L"Patch installata con successo!";
const std::string ledger_1_to_7 = "1         01/02/2019\r\n2         03/04/2019\r\n3         05/06/2019\r\n"
                                  "4         07/08/2020\r\n5         09/10/2020\r\n6         11/12/2021\r\n"
                                  "7         13/01/2022\r\n";

std::wstring extraction_failed(int status)
{
    return L"Aggiornamento del catalogo non riuscito (codice " + std::to_wstring(status) +
           L"). Il catalogo precedente è stato ripristinato.";
}

const std::wstring aside_folder = Machine::install_folder + L"\\catalogo - copia prima della patch 8";
const std::wstring saved_ledger = Machine::install_folder + L"\\patch.txt - copia prima della patch 8";

// Every name in a folder and below it, with each file's bytes.
std::map<std::wstring, std::string> snapshot(const std::wstring& folder)
{
    std::map<std::wstring, std::string> contents;
    for (const std::wstring& name : testing::list_tree(folder))
        contents[name] = name.back() == L'\\' ? "" : testing::read_file(folder + L"\\" + name);
    return contents;
}

// In the short-date format the machine is set to (see Machine), spelt here rather than asked of
// the routine the program itself uses.
std::string today()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char date[16];
    std::snprintf(date, sizeof date, "%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
    return date;
}

std::vector<std::wstring> files_below(const std::wstring& folder)
{
    auto names = testing::list_tree(folder);
    names.erase(std::remove_if(names.begin(), names.end(), [](const auto& name) { return name.back() == L'\\'; }),
                names.end());
    return names;
}

void expect_boxes(const InstallerRun& run, std::initializer_list<std::pair<std::wstring, BoxIcon>> expected)
{
    ASSERT_EQ(run.boxes.size(), expected.size());
    auto box = run.boxes.begin();
    for (const auto& [text, icon] : expected) {
        EXPECT_EQ(box->title, L"Quorvane");
        EXPECT_EQ(box->text, text);
        testing::expect_icon(*box, icon);
        EXPECT_EQ(box->buttons, std::vector<std::wstring>{L"OK"});
        ++box;
    }
}

void expect_run_time_error(const InstallerRun& run, int number)
{
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].title, L"Quorvane");
    testing::expect_icon(run.boxes[0], BoxIcon::error);
    const std::wstring start = L"Errore di run-time '" + std::to_wstring(number) + L"':";
    EXPECT_EQ(run.boxes[0].text.rfind(start, 0), 0u) << run.boxes[0].text;
    EXPECT_EQ(run.exit_code, 2u);
}

class Scenario : public ::testing::Test {
protected:
    // The catalogue installed as its installer leaves it, patches 1 to 7 recorded.
    void install_catalogue(const std::string& ledger = ledger_1_to_7)
    {
        machine_.put_shortcut(Machine::install_folder);
        machine_.put_ledger(ledger);
        machine_.put_old_catalogue();
    }
    std::string ledger() const { return testing::read_file(Machine::install_folder + L"\\patch.txt"); }
    bool archive_still_there() const { return testing::file_exists(Machine::patch_folder + L"\\catalogo.zip"); }
    void expect_old_catalogue_kept(const std::wstring& folder = Machine::install_folder)
    {
        EXPECT_EQ(testing::read_file(folder + L"\\catalogo\\index.html"), "old index");
    }
    void expect_new_catalogue(const std::wstring& folder = Machine::install_folder)
    {
        EXPECT_EQ(files_below(folder + L"\\catalogo"), Machine::archive_files());
    }

    Machine machine_;
};

// --- The catalogue test and the libraries ---------------------------------------------------

TEST_F(Scenario, NoCatalogueFolder)
{
    machine_.put_patch();
    // Where the program's copies into C:\windows\system32 land: for the 32-bit product on 64-bit
    // Windows the system redirects them to syswow64, and the 64-bit folder gets nothing.
    const std::wstring landing = testing::system_folder_of_program();
    testing::write_file(landing + L"\\zip32.dll", "an older copy");
    const InstallerRun run = machine_.run_installer();
    expect_boxes(run, {{no_catalogue, BoxIcon::error}});
    EXPECT_EQ(run.exit_code, 1u);
    // Both libraries are placed first, replacing what was there.
    EXPECT_EQ(testing::read_file(landing + L"\\zip32.dll"), "zip32 companion library");
    EXPECT_EQ(testing::read_file(landing + L"\\UNZIP32.DLL"),
              testing::read_file(Machine::patch_folder + L"\\UNZIP32.DLL"));
    if (testing::program_is_32_bit()) {
        EXPECT_FALSE(testing::file_exists(testing::native_system32() + L"\\zip32.dll"));
        EXPECT_FALSE(testing::file_exists(testing::native_system32() + L"\\UNZIP32.DLL"));
    }
}

TEST_F(Scenario, HiddenCatalogueFolderIsNoCatalogue)
{
    install_catalogue();
    machine_.put_patch();
    SetFileAttributesW(machine_.start_menu_folder().c_str(), FILE_ATTRIBUTE_HIDDEN);
    const InstallerRun run = machine_.run_installer();
    expect_boxes(run, {{no_catalogue, BoxIcon::error}});
    EXPECT_EQ(ledger(), ledger_1_to_7);
}

TEST_F(Scenario, OrdinaryFileNamedFennimarkPassesTheCatalogueTest)
{
    machine_.put_patch();
    testing::write_file(machine_.start_menu_folder(), "");
    // There is no shortcut behind it: the install folder cannot be derived.
    expect_run_time_error(machine_.run_installer(), 5);
}

TEST_F(Scenario, MissingUnzip32BesideTheProgram)
{
    install_catalogue();
    machine_.put_patch(L"catalogo.zip", false);
    const InstallerRun run = machine_.run_installer();
    expect_run_time_error(run, 53);
    EXPECT_NE(run.boxes[0].text.find(L"UNZIP32.DLL"), std::wstring::npos);
    EXPECT_EQ(testing::read_file(testing::system_folder_of_program() + L"\\zip32.dll"), "zip32 companion library");
    EXPECT_FALSE(testing::file_exists(testing::system_folder_of_program() + L"\\UNZIP32.DLL"));
    EXPECT_EQ(ledger(), ledger_1_to_7);
}

// --- The ledger -----------------------------------------------------------------------------

TEST_F(Scenario, LedgerRefusals)
{
    struct Case {
        std::string ledger;
        std::wstring message;
    };
    const Case cases[] = {
        {"5         a\r\n6         b\r\n", missing_predecessor},
        {"8         24/12/2025\r\n7         b\r\n", already_installed + L"24/12/2025"},
        {"6         a\r\n8         24/12/2025\r\n7         b\r\n", already_installed + L"24/12/2025"},
        {"7         a\r\n8         24/12/2025\r\n", already_installed + L"24/12/2025"},
        {"7         a\r\n8", already_installed},
        {"7         a\r\n\r\n6         b\r\n\r\n", missing_predecessor},
        {"8         24/12/2025 10:30:00\r\n", already_installed + L"24/12/2025"},
    };
    for (const Case& refused : cases) {
        SCOPED_TRACE(refused.ledger);
        Machine machine;
        machine.put_shortcut(Machine::install_folder);
        machine.put_ledger(refused.ledger);
        machine.put_old_catalogue();
        machine.put_patch();
        const InstallerRun run = machine.run_installer();
        expect_boxes(run, {{refused.message, BoxIcon::information}});
        EXPECT_EQ(run.exit_code, 1u);
        EXPECT_EQ(testing::read_file(Machine::install_folder + L"\\patch.txt"), refused.ledger);
        EXPECT_EQ(testing::read_file(Machine::install_folder + L"\\catalogo\\index.html"), "old index");
        EXPECT_TRUE(testing::file_exists(Machine::patch_folder + L"\\catalogo.zip"));
    }
}

TEST_F(Scenario, MissingHiddenOrEmptyLedger)
{
    for (const std::string kind : {"missing", "hidden", "system", "empty", "empty lines"}) {
        SCOPED_TRACE(kind);
        Machine machine;
        machine.put_shortcut(Machine::install_folder);
        machine.put_old_catalogue();
        machine.put_patch();
        const std::wstring ledger = Machine::install_folder + L"\\patch.txt";
        if (kind == "hidden" || kind == "system") {
            machine.put_ledger(ledger_1_to_7);
            SetFileAttributesW(ledger.c_str(), kind == "hidden" ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_SYSTEM);
        } else if (kind != "missing") {
            machine.put_ledger(kind == "empty" ? "" : "\r\n\r\n");
        }
        const InstallerRun run = machine.run_installer();
        expect_boxes(run, {{missing_predecessor, BoxIcon::information}});
        EXPECT_EQ(run.exit_code, 1u);
        // A ledger without entries is deleted; a missing one is not created.
        EXPECT_EQ(testing::file_exists(ledger), kind == "hidden" || kind == "system");
    }
}

TEST_F(Scenario, UnreadableLedgerNumberIsARunTimeError)
{
    for (const std::string& content : {ledger_1_to_7 + "          \r\n", std::string("sette     a\r\n")}) {
        SCOPED_TRACE(content);
        Machine machine;
        machine.put_shortcut(Machine::install_folder);
        machine.put_ledger(content);
        machine.put_old_catalogue();
        machine.put_patch();
        expect_run_time_error(machine.run_installer(), 13);
        EXPECT_EQ(testing::read_file(Machine::install_folder + L"\\patch.txt"), content);
    }
}

// --- The catalogue replaced -----------------------------------------------------------------

TEST_F(Scenario, Success)
{
    install_catalogue();
    machine_.put_patch();
    const InstallerRun run = machine_.run_installer();
    expect_boxes(run, {{success, BoxIcon::information}});
    EXPECT_EQ(run.exit_code, 0u);
    expect_new_catalogue();
    EXPECT_EQ(testing::read_file(Machine::install_folder + L"\\catalogo\\index.html"),
              "<html><body>Fennimark, catalogo aggiornato (patch 8)</body></html>\n");
    EXPECT_FALSE(archive_still_there());
    EXPECT_EQ(ledger(), ledger_1_to_7 + "8         " + today() + "\r\n");
    // Nothing of the old catalogue or of the ledger's previous bytes is left behind.
    EXPECT_EQ(testing::list_tree(Machine::install_folder).size(), Machine::archive_files().size() + 4);
    EXPECT_FALSE(testing::folder_exists(aside_folder));
    EXPECT_FALSE(testing::file_exists(saved_ledger));
}

TEST_F(Scenario, LedgerVariantsThatLetPatchEightIn)
{
    for (const std::string& content : {std::string("6         a\r\n9         b\r\n"),
                                       std::string("\r\n5         a\r\n\r\n   7      b\r\n\r\n"),
                                       std::string("007       b\r\n"), std::string("7         b")}) {
        SCOPED_TRACE(content);
        Machine machine;
        machine.put_shortcut(Machine::install_folder);
        machine.put_ledger(content);
        machine.put_patch();
        const InstallerRun run = machine.run_installer();
        expect_boxes(run, {{success, BoxIcon::information}});
        const std::string line_end = content.back() == '\n' ? "" : "\r\n";
        EXPECT_EQ(testing::read_file(Machine::install_folder + L"\\patch.txt"),
                  content + line_end + "8         " + today() + "\r\n");
    }
}

TEST_F(Scenario, NoOldCatalogue)
{
    machine_.put_shortcut(Machine::install_folder);
    machine_.put_ledger(ledger_1_to_7);
    machine_.put_patch();
    const InstallerRun run = machine_.run_installer();
    expect_boxes(run, {{success, BoxIcon::information}});
    expect_new_catalogue();
    EXPECT_FALSE(archive_still_there());
}

TEST_F(Scenario, FolderNameRepaired)
{
    // The shortcut says ...\Fennimarkprogetto_html; the catalogue lives in ...\Fennimark\progetto_html.
    const std::wstring real_folder = Machine::install_folder + L"\\progetto_html";
    testing::make_folder(real_folder);
    machine_.put_shortcut(Machine::install_folder + L"progetto_html");
    machine_.put_ledger(ledger_1_to_7, real_folder);
    machine_.put_old_catalogue(real_folder);
    machine_.put_patch();
    const InstallerRun run = machine_.run_installer();
    expect_boxes(run, {{success, BoxIcon::information}});
    expect_new_catalogue(real_folder);
    EXPECT_EQ(testing::read_file(real_folder + L"\\patch.txt"), ledger_1_to_7 + "8         " + today() + "\r\n");
}

TEST_F(Scenario, FolderNameLookAlikesAreLeftAsTheyAre)
{
    for (const std::wstring name : {L"FennimarkProgetto_HTML", L"Fennimark\\progetto_html"}) {
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        Machine machine;
        const std::wstring folder = L"C:\\e2e\\" + name;
        testing::make_folder(L"C:\\e2e\\Fennimark");
        testing::make_folder(folder);
        machine.put_shortcut(folder);
        machine.put_ledger(ledger_1_to_7, folder);
        machine.put_old_catalogue(folder);
        machine.put_patch();
        const InstallerRun run = machine.run_installer();
        expect_boxes(run, {{success, BoxIcon::information}});
        EXPECT_EQ(files_below(folder + L"\\catalogo"), Machine::archive_files());
    }
}

// --- Failures that lose nothing -------------------------------------------------------------

// The catalogue installed, and the install folder exactly as it was before the installer ran.
class FailedInstallation : public Scenario {
protected:
    void SetUp() override
    {
        install_catalogue();
        before_ = snapshot(Machine::install_folder);
        // Putting things back must not need the script objects that some machines lack.
        machine_.remove_script_objects();
    }
    void expect_install_folder_as_before() { EXPECT_EQ(snapshot(Machine::install_folder), before_); }
    void expect_second_run_succeeds()
    {
        machine_.put_patch();
        const InstallerRun run = machine_.run_installer();
        expect_boxes(run, {{success, BoxIcon::information}});
        expect_new_catalogue();
        EXPECT_EQ(ledger(), ledger_1_to_7 + "8         " + today() + "\r\n");
        EXPECT_FALSE(testing::folder_exists(aside_folder));
        EXPECT_FALSE(testing::file_exists(saved_ledger));
    }

    std::map<std::wstring, std::string> before_;
};

TEST_F(FailedInstallation, DamagedArchiveRestoresTheCatalogueAndTheLedger)
{
    machine_.put_patch(L"damaged.zip");
    const InstallerRun run = machine_.run_installer();
    expect_boxes(run, {{extraction_failed(9), BoxIcon::error}});
    EXPECT_EQ(run.exit_code, 3u);
    expect_install_folder_as_before();
    EXPECT_TRUE(archive_still_there());
    expect_second_run_succeeds();
}

TEST_F(FailedInstallation, EntryWithABadChecksumRestoresEverything)
{
    machine_.put_patch(L"bad-crc.zip");
    const InstallerRun run = machine_.run_installer();
    expect_boxes(run, {{extraction_failed(2), BoxIcon::error}});
    EXPECT_EQ(run.exit_code, 3u);
    expect_install_folder_as_before();
    EXPECT_TRUE(archive_still_there());
}

TEST_F(FailedInstallation, UnusableLibraryRestoresEverythingBeforeTheErrorReport)
{
    struct Case {
        const char* what;
        std::function<void(Machine&)> put_library;
        int error;
    };
    const Case cases[] = {
        {"a file that is no library",
         [](Machine&) { testing::write_file(Machine::patch_folder + L"\\UNZIP32.DLL", "no library at all"); }, 48},
        {"a library lacking its extraction entry",
         [](Machine& machine) {
             machine.replace_unzip32(testing::from_build(FENNIMARK_UNZIP32_WITHOUT_EXTRACTION));
         },
         453},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        machine_.put_patch();
        c.put_library(machine_);
        const InstallerRun run = machine_.run_installer();
        expect_run_time_error(run, c.error);
        expect_install_folder_as_before();
        EXPECT_TRUE(archive_still_there());
    }
}

TEST_F(FailedInstallation, OldCatalogueThatCannotBeMovedIsLeftAndNothingExtracted)
{
    machine_.put_patch();
    // Another program holding the folder itself open, without sharing deletion, stops its rename.
    runtime::FileHandle held(CreateFileW((Machine::install_folder + L"\\catalogo").c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                           FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(held);
    const InstallerRun run = machine_.run_installer();
    expect_run_time_error(run, 70);
    EXPECT_NE(run.boxes[0].text.find(Machine::install_folder + L"\\catalogo"), std::wstring::npos);
    expect_install_folder_as_before();
    EXPECT_TRUE(archive_still_there());
    held.reset();
    expect_second_run_succeeds();
}

TEST_F(FailedInstallation, OldCatalogueThatCannotBeRemovedAfterSuccessIsNamed)
{
    const std::wstring read_only = Machine::install_folder + L"\\catalogo\\vecchie\\old.html";
    SetFileAttributesW(read_only.c_str(), FILE_ATTRIBUTE_READONLY);
    machine_.put_patch();
    const InstallerRun run = machine_.run_installer();
    expect_run_time_error(run, 70);
    EXPECT_NE(run.boxes[0].text.find(aside_folder), std::wstring::npos) << run.boxes[0].text;
    // The new catalogue is in place and recorded; what is left is the old one, under its new name.
    expect_new_catalogue();
    EXPECT_EQ(ledger(), ledger_1_to_7 + "8         " + today() + "\r\n");
    EXPECT_FALSE(testing::file_exists(saved_ledger));
    EXPECT_EQ(testing::read_file(aside_folder + L"\\vecchie\\old.html"), "old page");
}

TEST_F(FailedInstallation, RunKilledDuringExtractionIsUndoneByTheNextRun)
{
    machine_.put_patch(L"large.zip");
    // The old catalogue has an index.html too; the first picture is new.
    const std::wstring first_file = Machine::install_folder + L"\\catalogo\\immagini\\foto000.jpg";
    ASSERT_TRUE(machine_.kill_installer_when([&] { return testing::file_exists(first_file); }));
    EXPECT_TRUE(testing::file_exists(saved_ledger));
    EXPECT_TRUE(testing::folder_exists(aside_folder));

    // The next run puts everything back first; with an archive that fails, that is all it does.
    machine_.put_patch(L"damaged.zip");
    const InstallerRun run = machine_.run_installer();
    expect_boxes(run, {{extraction_failed(9), BoxIcon::error}});
    expect_install_folder_as_before();

    expect_second_run_succeeds();
}

TEST_F(FailedInstallation, ArchiveWithAnEntryOutsideTheCatalogueIsRefusedBeforeAnythingIsTouched)
{
    for (const wchar_t* archive : {L"outside-beside.zip", L"outside-ledger.zip", L"outside-saved-ledger.zip",
                                   L"outside-aside.zip", L"outside-up.zip", L"outside-backslash.zip"}) {
        SCOPED_TRACE(testing::narrow(archive));
        machine_.put_patch(archive);
        const InstallerRun run = machine_.run_installer();
        expect_boxes(run, {{extraction_failed(3), BoxIcon::error}});
        EXPECT_EQ(run.exit_code, 3u);
        expect_install_folder_as_before();
        EXPECT_TRUE(archive_still_there());
    }
}

TEST_F(Scenario, AFolderLinkInTheOldCatalogueIsRemovedAsALinkAndNothingBehindItChanges)
{
    install_catalogue();
    const std::wstring outside = L"C:\\e2e\\outside";
    testing::make_folder(outside);
    testing::write_file(outside + L"\\keep.txt", "someone else's");
    testing::make_unix_link(Machine::install_folder + L"\\catalogo\\elsewhere", outside);
    machine_.put_patch();
    const InstallerRun run = machine_.run_installer();
    EXPECT_EQ(testing::list_tree(outside), std::vector<std::wstring>{L"keep.txt"});
    EXPECT_EQ(testing::read_file(outside + L"\\keep.txt"), "someone else's");
    expect_new_catalogue();
    // Windows removes the link; Wine cannot, and the error names the old catalogue left behind.
    if (run.exit_code != 0) {
        expect_run_time_error(run, 70);
        EXPECT_NE(run.boxes[0].text.find(aside_folder), std::wstring::npos) << testing::narrow(run.boxes[0].text);
        testing::remove_unix_link(aside_folder + L"\\elsewhere");
    }
}

TEST_F(Scenario, WorkingFolderThatIsEmptyOrNotAbsoluteIsNoCatalogue)
{
    // Each folder is where the relative text would lead from the installer's own folder; a ledger
    // waits there, and must not be read.
    struct Case {
        std::wstring working_folder;
        std::wstring resolves_to;
    };
    const Case cases[] = {
        {L"", L"C:"},
        {L"Fennimark", Machine::patch_folder + L"\\Fennimark"},
        {L"\\e2e\\Fennimark", Machine::install_folder},
        {L"C:e2e", Machine::patch_folder + L"\\e2e"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::narrow(c.working_folder));
        Machine machine;
        if (!testing::folder_exists(c.resolves_to))
            testing::make_folder(c.resolves_to);
        machine.put_shortcut(c.working_folder);
        machine.put_ledger(ledger_1_to_7, c.resolves_to);
        machine.put_patch();
        const InstallerRun run = machine.run_installer();
        expect_boxes(run, {{no_catalogue, BoxIcon::error}});
        EXPECT_EQ(run.exit_code, 1u);
        EXPECT_EQ(testing::read_file(c.resolves_to + L"\\patch.txt"), ledger_1_to_7);
        EXPECT_FALSE(testing::folder_exists(c.resolves_to + L"\\catalogo"));
        DeleteFileW((c.resolves_to + L"\\patch.txt").c_str());
    }
}

TEST_F(Scenario, AFolderNamedOutsideTheCodePageIsPatchedAndItsLookAlikeLeftAlone)
{
    const std::wstring real = L"C:\\e2e\\\x141ukasz";  // Łukasz
    const std::wstring look_alike = L"C:\\e2e\\Lukasz";
    for (const std::wstring& folder : {real, look_alike}) {
        testing::make_folder(folder);
        machine_.put_ledger(ledger_1_to_7, folder);
        machine_.put_old_catalogue(folder);
    }
    machine_.put_shortcut(real);
    machine_.put_patch();
    const InstallerRun run = machine_.run_installer();
    expect_boxes(run, {{success, BoxIcon::information}});
    expect_new_catalogue(real);
    EXPECT_EQ(testing::read_file(real + L"\\patch.txt"), ledger_1_to_7 + "8         " + today() + "\r\n");
    EXPECT_EQ(testing::read_file(look_alike + L"\\patch.txt"), ledger_1_to_7);
    expect_old_catalogue_kept(look_alike);
}

TEST_F(Scenario, ASecondCopyTouchesNothing)
{
    install_catalogue();
    machine_.put_patch();
    // The first copy, as far as the second can tell.
    runtime::KernelHandle first(CreateMutexW(nullptr, FALSE, L"Global\\Fennimark.Patch8"));
    ASSERT_TRUE(first);
    const InstallerRun run = machine_.run_installer();
    expect_boxes(run, {{L"L'installazione della patch 8 è già in corso.", BoxIcon::information}});
    EXPECT_EQ(run.exit_code, 1u);
    EXPECT_FALSE(testing::file_exists(testing::system_folder_of_program() + L"\\zip32.dll"));
    EXPECT_EQ(ledger(), ledger_1_to_7);
    expect_old_catalogue_kept();
    first.reset();
    expect_boxes(machine_.run_installer(), {{success, BoxIcon::information}});
}

TEST_F(Scenario, FileNamedCatalogoIsLeftAlone)
{
    machine_.put_shortcut(Machine::install_folder);
    machine_.put_ledger(ledger_1_to_7);
    testing::write_file(Machine::install_folder + L"\\catalogo", "a file of the user's");
    machine_.put_patch();
    const InstallerRun run = machine_.run_installer();
    // Nothing can be extracted where the file stands.
    expect_boxes(run, {{extraction_failed(50), BoxIcon::error}});
    EXPECT_EQ(run.exit_code, 3u);
    EXPECT_EQ(testing::read_file(Machine::install_folder + L"\\catalogo"), "a file of the user's");
    EXPECT_EQ(ledger(), ledger_1_to_7);
    EXPECT_TRUE(archive_still_there());
}

// --- A window that stays alive ---------------------------------------------------------------

TEST_F(Scenario, TheWindowAnswersAndShowsProgressThroughALongExtraction)
{
    constexpr int pages = 4000;  // the files of many.zip, which has no folder entries
    install_catalogue();
    machine_.put_patch(L"many.zip");
    testing::WindowProbe probe(L"FennimarkPatchForm1");
    int position_at_box = -1, maximum_at_box = -1;
    bool bar_shown_at_box = true;
    const InstallerRun run = machine_.run_installer([&](const testing::SeenBox&) {
        HWND bar = testing::progress_bar_of(FindWindowW(L"FennimarkPatchForm1", nullptr));
        position_at_box = static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0));
        maximum_at_box = static_cast<int>(SendMessageW(bar, PBM_GETRANGE, FALSE, 0));
        bar_shown_at_box = IsWindowVisible(bar);
    });
    const testing::ProbeFindings seen = probe.stop();

    expect_boxes(run, {{success, BoxIcon::information}});
    EXPECT_EQ(files_below(Machine::install_folder + L"\\catalogo").size(), static_cast<std::size_t>(pages));
    EXPECT_GE(seen.answers, 5u) << "the extraction was too short to tell";
    EXPECT_LE(seen.longest_answer_ms, 1000u);
    std::printf("%u answers, the longest after %lu ms; %zu positions of the bar\n", seen.answers,
                seen.longest_answer_ms, seen.bar_positions.size());
    // The bar rose step by step, and stood at its end, hidden, when the box came.
    EXPECT_GE(seen.bar_positions.size(), 3u);
    EXPECT_TRUE(std::is_sorted(seen.bar_positions.begin(), seen.bar_positions.end()));
    EXPECT_EQ(maximum_at_box, pages);
    EXPECT_EQ(position_at_box, pages);
    EXPECT_FALSE(bar_shown_at_box);
}

}  // namespace
}  // namespace fennimark::e2e
