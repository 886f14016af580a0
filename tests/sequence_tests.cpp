// The installation sequence with the real window, up to each way it can refuse.

#include "app/form1.h"
#include "runtime/program_folder.h"
#include "tests/support/box_recorder.h"
#include "tests/support/files.h"
#include "tests/support/message_pump.h"
#include "tests/support/shortcuts.h"
#include "tests/support/system_folders.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace fennimark {
namespace {

const std::wstring& system32 = testing::system32_as_seen;
const std::wstring no_catalogue = L"Non hai installato il catalogo. La patch non può essere creata";

class Sequence : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::write_file(patch_folder_ / L"zip32.dll", "zip32 of this patch");
        testing::write_file(patch_folder_ / L"UNZIP32.DLL", "unzip32 of this patch");
        clean_up();
    }
    void TearDown() override { clean_up(); }

    void clean_up()
    {
        testing::remove_tree(start_menu_folder_);
        testing::remove_tree(system32 + L"\\zip32.dll");
        testing::remove_tree(system32 + L"\\UNZIP32.DLL");
    }

    // Starts the window and lets it work until it ends; returns its exit code.
    int run_installer()
    {
        runtime::ScopedProgramFolder here(patch_folder_.path());
        Form1 form;
        form.create(GetModuleHandleW(nullptr));
        form.show();
        EXPECT_TRUE(testing::pump_messages_until([&] { return form.window() == nullptr; }, 20000));
        return form.exit_code();
    }

    void install_catalogue_shortcut(const std::wstring& working_folder)
    {
        testing::make_folder(start_menu_folder_);
        testing::ShortcutFields fields;
        fields.working_folder = working_folder;
        testing::make_shortcut(start_menu_folder_ + L"\\Fennimark.lnk", fields);
    }

    void expect_libraries_placed()
    {
        EXPECT_EQ(testing::read_file(system32 + L"\\zip32.dll"), "zip32 of this patch");
        EXPECT_EQ(testing::read_file(system32 + L"\\UNZIP32.DLL"), "unzip32 of this patch");
    }

    testing::TempFolder patch_folder_;
    testing::TempFolder install_folder_;
    std::wstring start_menu_folder_ = testing::programs_folder() + L"\\Fennimark";
    testing::BoxRecorder user_;
};

TEST_F(Sequence, WithoutTheCatalogueTheLibrariesArePlacedAndTheUserTold)
{
    testing::write_file(system32 + L"\\zip32.dll", "an older copy");
    EXPECT_EQ(run_installer(), 1);
    expect_libraries_placed();
    ASSERT_EQ(user_.boxes().size(), 1u);
    EXPECT_EQ(user_.boxes()[0].text, no_catalogue);
    EXPECT_EQ(user_.boxes()[0].style, 16u);
    EXPECT_EQ(user_.boxes()[0].title, L"Quorvane");
}

TEST_F(Sequence, AHiddenCatalogueFolderIsNoCatalogue)
{
    install_catalogue_shortcut(install_folder_.path());
    SetFileAttributesW(start_menu_folder_.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(run_installer(), 1);
    ASSERT_EQ(user_.boxes().size(), 1u);
    EXPECT_EQ(user_.boxes()[0].text, no_catalogue);
}

TEST_F(Sequence, AMissingLibraryEndsWithTheErrorReportAfterTheFirstWasCopied)
{
    DeleteFileW((patch_folder_ / L"UNZIP32.DLL").c_str());
    EXPECT_EQ(run_installer(), 2);
    EXPECT_EQ(testing::read_file(system32 + L"\\zip32.dll"), "zip32 of this patch");
    ASSERT_EQ(user_.boxes().size(), 1u);
    EXPECT_EQ(user_.boxes()[0].text,
              L"Errore di run-time '53':\r\n\r\nFile non trovato\r\n" + (patch_folder_ / L"UNZIP32.DLL").wstring());
    EXPECT_EQ(user_.boxes()[0].style, 16u);
}

TEST_F(Sequence, ALedgerRefusalEndsTheProgramWithoutTheSuccessBox)
{
    testing::write_file(install_folder_ / L"patch.txt", "5         a\r\n6         b\r\n");
    testing::make_folder(install_folder_ / L"catalogo");
    install_catalogue_shortcut(install_folder_.path());
    EXPECT_EQ(run_installer(), 1);
    expect_libraries_placed();
    ASSERT_EQ(user_.boxes().size(), 1u);
    EXPECT_EQ(user_.boxes()[0].text,
              L"Non puoi installare questa patch perché devi prima installare la patch n. 7");
    EXPECT_TRUE(testing::folder_exists(install_folder_ / L"catalogo"));
}

TEST_F(Sequence, AnOrdinaryFileNamedFennimarkPassesTheCatalogueTest)
{
    // With no shortcut inside, the working folder is empty text: an install folder that cannot be.
    testing::write_file(start_menu_folder_, "");
    EXPECT_EQ(run_installer(), 2);
    ASSERT_EQ(user_.boxes().size(), 1u);
    EXPECT_EQ(user_.boxes()[0].text.rfind(L"Errore di run-time '5':", 0), 0u) << user_.boxes()[0].text;
}

}  // namespace
}  // namespace fennimark
