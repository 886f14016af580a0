#pragma once
// Replacing the catalogue folder without ever losing it. The old folder is moved aside rather
// than deleted, and the ledger's previous bytes are kept (see ledger_copy.h), until the new
// catalogue is known to be whole; a failure puts both back. A run that is stopped half-way
// leaves the two behind, and the next run finishes putting them back before anything else.
//
// The saved ledger copy is what says "an installation is under way": it is made first and
// removed first on success, so its presence alone decides whether there is anything to undo.

#include <cstdint>
#include <string>

namespace fennimark {

class CatalogueSwap {
public:
    CatalogueSwap(const std::wstring& install_folder, std::int16_t versione);

    // "catalogo - copia prima della patch 8", beside the catalogue.
    const std::wstring& aside_folder() const noexcept { return aside_; }
    const std::wstring& catalogue_folder() const noexcept { return catalogue_; }
    // Whether move_old_catalogue_aside found an old catalogue and moved it.
    bool moved_aside() const noexcept { return moved_aside_; }

    // Undoes what an earlier run that never ended left behind: its partial catalogue removed,
    // the old one moved back, the ledger's bytes restored. Nothing to do when no copy is saved.
    void recover_interrupted_run();

    // Moves the old catalogue folder aside. When that fails, the ledger gets its previous bytes
    // back and the run-time error goes on to the caller.
    void move_old_catalogue_aside();

    // After a failed extraction: removes what this run extracted, moves the old catalogue back
    // and restores the ledger. A file of the user's named catalogo is left alone.
    void roll_back();

    // After a whole extraction: the saved ledger copy is removed, then the old catalogue. A
    // failure to remove the old catalogue is a run-time error naming it, with the new catalogue
    // and the ledger line kept.
    void commit();

private:
    void remove_catalogue_made_by_this_run();

    std::wstring ledger_;
    std::wstring catalogue_;
    std::wstring aside_;
    std::int16_t versione_;
    bool moved_aside_ = false;
    bool users_file_in_place_ = false;
};

}  // namespace fennimark
