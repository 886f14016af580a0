#pragma once
// The replacement archive is the catalogue and nothing else: every entry must land inside the
// catalogo folder. One that lands beside it would stay after a rollback, and one named like the
// saved ledger or the old catalogue moved aside would overwrite what a rollback puts back.

#include <cstdint>
#include <string>
#include <string_view>

namespace fennimark {

// True when the entry `name`, as the archive stores it, lies below catalogo: its first part
// (slashes and backslashes both separate parts) is "catalogo", in any case, and no part is "..".
bool lies_in_catalogue(std::wstring_view name);

// The status an archive with an entry outside the catalogue gets: the library's "damaged archive".
inline constexpr std::int32_t entry_outside_catalogue_status = 3;

// Lists the archive `nome_zip` through the archive library, writing nothing, and returns the
// library's status, or entry_outside_catalogue_status when an entry lies outside the catalogue
// (or a listed name could not be looked at). `cartella` is the folder the extraction will use.
// Raises a run-time error when the library cannot be loaded or lacks an entry.
std::int32_t list_catalogue_archive(const std::wstring& nome_zip, const std::wstring& cartella);

}  // namespace fennimark
