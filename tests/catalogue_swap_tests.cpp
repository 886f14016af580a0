// Replacing the catalogue without losing it, against real folders: what a rollback, a success and
// the recovery after a run that never ended each leave behind.

#include "install/catalogue_swap.h"
#include "install/ledger_copy.h"
#include "runtime/run_time_error.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace fennimark {
namespace {

const std::string ledger_bytes = "6         a\r\n7         b\r\n";
const std::string appended = ledger_bytes + "8         c\r\n";

class Swap : public ::testing::Test {
protected:
    std::wstring ledger() const { return folder_ / L"patch.txt"; }
    std::wstring catalogue() const { return folder_ / L"catalogo"; }
    std::wstring aside() const { return folder_ / L"catalogo - copia prima della patch 8"; }

    // The ledger as controlla_file leaves it: its previous bytes saved, the new line appended.
    void ledger_recorded()
    {
        testing::write_file(ledger(), ledger_bytes);
        save_ledger_copy(ledger(), 8);
        testing::write_file(ledger(), appended);
    }
    void old_catalogue()
    {
        testing::make_folder(catalogue());
        testing::write_file(catalogue() + L"\\index.html", "old");
    }
    // What an extraction that stopped half-way leaves, a read-only file among it.
    void partial_catalogue()
    {
        testing::make_folder(catalogue());
        testing::make_folder(catalogue() + L"\\schede");
        testing::write_file(catalogue() + L"\\schede\\1.html", "half");
        SetFileAttributesW((catalogue() + L"\\schede\\1.html").c_str(), FILE_ATTRIBUTE_READONLY);
    }
    void expect_as_before()
    {
        EXPECT_EQ(testing::read_file(ledger()), ledger_bytes);
        EXPECT_EQ(testing::read_file(catalogue() + L"\\index.html"), "old");
        EXPECT_EQ(testing::list_tree(folder_.path()),
                  (std::vector<std::wstring>{L"catalogo\\", L"catalogo\\index.html", L"patch.txt"}));
    }

    testing::TempFolder folder_;
    CatalogueSwap swap_{folder_.path(), 8};
};

TEST_F(Swap, RollBackRemovesWhatWasExtractedAndPutsTheOldCatalogueAndLedgerBack)
{
    ledger_recorded();
    old_catalogue();
    swap_.move_old_catalogue_aside();
    EXPECT_TRUE(testing::folder_exists(aside()));
    partial_catalogue();
    swap_.roll_back();
    expect_as_before();
}

TEST_F(Swap, RollBackWithoutAnOldCatalogueRemovesThePartialOne)
{
    ledger_recorded();
    swap_.move_old_catalogue_aside();
    partial_catalogue();
    swap_.roll_back();
    EXPECT_EQ(testing::list_tree(folder_.path()), std::vector<std::wstring>{L"patch.txt"});
    EXPECT_EQ(testing::read_file(ledger()), ledger_bytes);
}

TEST_F(Swap, AFileOfTheUsersNamedCatalogoSurvivesARollBack)
{
    ledger_recorded();
    testing::write_file(catalogue(), "mine");
    swap_.move_old_catalogue_aside();
    swap_.roll_back();
    EXPECT_EQ(testing::read_file(catalogue()), "mine");
    EXPECT_EQ(testing::read_file(ledger()), ledger_bytes);
}

TEST_F(Swap, CommitKeepsTheNewCatalogueAndLedgerAndRemovesTheRest)
{
    ledger_recorded();
    old_catalogue();
    swap_.move_old_catalogue_aside();
    testing::make_folder(catalogue());
    testing::write_file(catalogue() + L"\\index.html", "new");
    swap_.commit();
    EXPECT_EQ(testing::list_tree(folder_.path()),
              (std::vector<std::wstring>{L"catalogo\\", L"catalogo\\index.html", L"patch.txt"}));
    EXPECT_EQ(testing::read_file(catalogue() + L"\\index.html"), "new");
    EXPECT_EQ(testing::read_file(ledger()), appended);
}

TEST_F(Swap, CommitThatCannotRemoveTheOldCatalogueNamesItAndKeepsTheNewOne)
{
    ledger_recorded();
    old_catalogue();
    SetFileAttributesW((catalogue() + L"\\index.html").c_str(), FILE_ATTRIBUTE_READONLY);
    swap_.move_old_catalogue_aside();
    testing::make_folder(catalogue());
    try {
        swap_.commit();
        FAIL() << "the read-only file was removed";
    } catch (const runtime::RunTimeError& error) {
        EXPECT_EQ(error.number(), 70);
        EXPECT_EQ(error.subject(), aside());
    }
    EXPECT_EQ(testing::read_file(ledger()), appended);
    EXPECT_FALSE(ledger_copy_exists(ledger(), 8));
    EXPECT_TRUE(testing::folder_exists(catalogue()));
}

TEST_F(Swap, OldCatalogueThatCannotMoveGivesTheLedgerBackFirst)
{
    ledger_recorded();
    old_catalogue();
    testing::make_folder(aside());  // the name is taken, so the rename fails
    EXPECT_THROW(swap_.move_old_catalogue_aside(), runtime::RunTimeError);
    EXPECT_EQ(testing::read_file(ledger()), ledger_bytes);
    EXPECT_FALSE(ledger_copy_exists(ledger(), 8));
    EXPECT_EQ(testing::read_file(catalogue() + L"\\index.html"), "old");
}

// --- After a run that never ended -------------------------------------------------------------

TEST_F(Swap, RecoveryCompletesTheRollBackOfAnInterruptedRun)
{
    ledger_recorded();
    old_catalogue();
    swap_.move_old_catalogue_aside();
    partial_catalogue();
    CatalogueSwap{folder_.path(), 8}.recover_interrupted_run();
    expect_as_before();
}

TEST_F(Swap, RecoveryBeforeAnythingWasExtractedMovesTheOldCatalogueBack)
{
    ledger_recorded();
    old_catalogue();
    swap_.move_old_catalogue_aside();
    CatalogueSwap{folder_.path(), 8}.recover_interrupted_run();
    expect_as_before();
}

TEST_F(Swap, RecoveryWithNothingAsideLeavesTheCatalogueThatIsThere)
{
    // Stopped before the old catalogue moved, or after it had already been moved back.
    ledger_recorded();
    old_catalogue();
    CatalogueSwap{folder_.path(), 8}.recover_interrupted_run();
    expect_as_before();
}

TEST_F(Swap, RecoveryWithoutASavedLedgerTouchesNothing)
{
    // A finished installation whose old catalogue could not be removed: nothing to undo.
    testing::write_file(ledger(), appended);
    testing::make_folder(catalogue());
    testing::make_folder(aside());
    CatalogueSwap{folder_.path(), 8}.recover_interrupted_run();
    EXPECT_EQ(testing::read_file(ledger()), appended);
    EXPECT_TRUE(testing::folder_exists(catalogue()));
    EXPECT_TRUE(testing::folder_exists(aside()));
}

// --- The saved ledger copy -------------------------------------------------------------------

TEST_F(Swap, SavedLedgerCopyIsAnOrdinaryFileWithTheLedgersBytes)
{
    testing::write_file(ledger(), ledger_bytes);
    SetFileAttributesW(ledger().c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    save_ledger_copy(ledger(), 8);
    const std::wstring copy = saved_ledger_path(ledger(), 8);
    EXPECT_EQ(copy, folder_ / L"patch.txt - copia prima della patch 8");
    EXPECT_EQ(testing::read_file(copy), ledger_bytes);
    EXPECT_EQ(GetFileAttributesW(copy.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    // Nothing was appended to the read-only ledger, so the copy just goes.
    undo_ledger_append(ledger(), 8);
    EXPECT_FALSE(ledger_copy_exists(ledger(), 8));
    EXPECT_EQ(testing::read_file(ledger()), ledger_bytes);
}

TEST_F(Swap, UndoingAPartialAppendGivesBackThePreviousBytes)
{
    testing::write_file(ledger(), ledger_bytes);
    save_ledger_copy(ledger(), 8);
    testing::write_file(ledger(), ledger_bytes + "8   ");
    undo_ledger_append(ledger(), 8);
    EXPECT_EQ(testing::read_file(ledger()), ledger_bytes);
    EXPECT_FALSE(ledger_copy_exists(ledger(), 8));
}

}  // namespace
}  // namespace fennimark
