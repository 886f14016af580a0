#pragma once
// The ledger's bytes saved beside it before a patch is recorded, so that a failed or interrupted
// installation can give the ledger back exactly as it was and the patch can be tried again.

#include <cstdint>
#include <string>

namespace fennimark {

// "patch.txt - copia prima della patch 8": a name a person can read, and one no catalogue entry
// can take, since every entry of the archive lies under catalogo\.
std::wstring saved_ledger_path(const std::wstring& ledger, std::int16_t versione);

// Saves the ledger's bytes only, in an ordinary file: a read-only ledger must not make a copy
// that cannot be removed.
void save_ledger_copy(const std::wstring& ledger, std::int16_t versione);
// Puts the saved bytes back in one step; the copy is gone afterwards.
void restore_ledger_copy(const std::wstring& ledger, std::int16_t versione);
// After a failed append: puts the saved bytes back if the ledger changed at all, else just drops
// the copy (a ledger that could not be opened for writing cannot be replaced either).
void undo_ledger_append(const std::wstring& ledger, std::int16_t versione);
void discard_ledger_copy(const std::wstring& ledger, std::int16_t versione);
bool ledger_copy_exists(const std::wstring& ledger, std::int16_t versione);

}  // namespace fennimark
