#include "install/catalogue_swap.h"

#include "install/ledger_copy.h"
#include "runtime/files.h"
#include "runtime/folder_tree.h"

namespace fennimark {

namespace {

// Unforced, a read-only item makes the removal fail, which is what an old catalogue of the user's
// deserves; forced, nothing of what this run extracted is left behind. Either way a link inside is
// removed as a link, so nothing outside the install folder is ever deleted through one.
void delete_folder_tree(const std::wstring& folder, bool force)
{
    runtime::remove_folder_tree(folder, force);
}

}  // namespace

CatalogueSwap::CatalogueSwap(const std::wstring& install_folder, std::int16_t versione)
    : ledger_(install_folder + L"\\patch.txt"), catalogue_(install_folder + L"\\catalogo"),
      aside_(install_folder + L"\\catalogo - copia prima della patch " + std::to_wstring(versione)),
      versione_(versione)
{
}

void CatalogueSwap::remove_catalogue_made_by_this_run()
{
    if (runtime::folder_exists(catalogue_))
        delete_folder_tree(catalogue_, true);
    else if (runtime::file_exists(catalogue_))
        runtime::delete_file(catalogue_);
}

void CatalogueSwap::recover_interrupted_run()
{
    if (!ledger_copy_exists(ledger_, versione_))
        return;
    // Without the folder aside there was no old catalogue, or it is already back in place: what is
    // called catalogo now may be the user's own, so it stays.
    if (runtime::folder_exists(aside_)) {
        remove_catalogue_made_by_this_run();
        runtime::rename_entry(aside_, catalogue_);
    }
    restore_ledger_copy(ledger_, versione_);
}

void CatalogueSwap::move_old_catalogue_aside()
{
    if (!runtime::folder_exists(catalogue_)) {
        users_file_in_place_ = runtime::file_exists(catalogue_);
        return;
    }
    try {
        runtime::rename_entry(catalogue_, aside_);
    } catch (...) {
        restore_ledger_copy(ledger_, versione_);
        throw;
    }
    moved_aside_ = true;
}

void CatalogueSwap::roll_back()
{
    if (!users_file_in_place_)
        remove_catalogue_made_by_this_run();
    if (moved_aside_) {
        runtime::rename_entry(aside_, catalogue_);
        moved_aside_ = false;
    }
    // Last, since the saved copy is what tells the next run there is still something to undo.
    restore_ledger_copy(ledger_, versione_);
}

void CatalogueSwap::commit()
{
    discard_ledger_copy(ledger_, versione_);
    if (moved_aside_)
        delete_folder_tree(aside_, false);
}

}  // namespace fennimark
