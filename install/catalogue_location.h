#pragma once
// Where the catalogue's Start-menu folder is. An administrator may run the installer from another
// account (elevated with their own credentials, or as SYSTEM from a deployment tool), whose
// Programs folder is not the one the catalogue's installer wrote to.

#include <optional>
#include <string>
#include <vector>

namespace fennimark::install {

struct ProgramsFolder {
    std::wstring path;   // without a trailing backslash
    std::wstring whose;  // for the log: "dell'utente corrente", ...
};

// The Programs folders to look in, in order: the running account's, the desktop owner's when it
// is another account, all users'. A folder that cannot be found is left out, but for the running
// account's, whose failure is a run-time error as before.
std::vector<ProgramsFolder> programs_folders_to_search();

// The first of `folders` that has a Fennimark folder the folder test sees.
std::optional<ProgramsFolder> first_with_catalogue(const std::vector<ProgramsFolder>& folders);

}  // namespace fennimark::install
