#pragma once
// The patch's own work in the catalogue's install folder: the ledger checked and appended, the old
// catalogue moved aside, the archive extracted, and everything put back when the extraction fails.

#include <string>

namespace fennimark::install {

// Derives the install folder from the shortcut's working-folder field text `Path` and replaces
// the catalogue in it.
void correzione_path(const std::wstring& Path);

// The same work in an install folder already known. Returns when the new catalogue is in place;
// a refusal or a failed extraction ends the program.
void replace_catalogue(const std::wstring& install_folder);

}  // namespace fennimark::install
