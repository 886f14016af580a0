#pragma once
// The whole installation, from the library files to the outcome, without any window: every
// outcome goes to the current reporter (runtime/reporter.h).

#include <optional>
#include <string>

namespace fennimark::install {

struct InstallationOptions {
    // An install folder given by an administrator, used as it stands in place of the one the
    // catalogue's Start-menu shortcut names.
    std::optional<std::wstring> install_folder;
};

// Runs the installation and ends the program with its outcome: never returns normally.
[[noreturn]] void install_patch(const InstallationOptions& options = {});

}  // namespace fennimark::install
