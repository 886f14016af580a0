#pragma once
// Shortcut files made by the shell's own link object, as the catalogue's installer makes them.

#include <string>

namespace fennimark::testing {

struct ShortcutFields {
    std::wstring target = L"C:\\windows\\notepad.exe";
    std::wstring working_folder;
    std::wstring arguments;
    std::wstring icon_path;
    int icon_index = 0;
    int show_command = 1;
};

// Saves a .lnk file at `link_path`; throws when the shell refuses.
void make_shortcut(const std::wstring& link_path, const ShortcutFields& fields);

}  // namespace fennimark::testing
