#pragma once
// A user's machine, as the end-to-end scenarios set it up in the Wine prefix: the catalogue's
// Start-menu shortcut, its install folder with the ledger and an old catalogue, and a patch folder
// with the installer, the two libraries and the archive. Everything is removed between scenarios.

#include "tests/support/box_watcher.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace fennimark::e2e {

struct InstallerRun {
    std::vector<testing::SeenBox> boxes;
    // The classes of the program's visible top-level windows other than its boxes, once each.
    std::vector<std::wstring> windows;
    unsigned long exit_code = 0;
};

class Machine {
public:
    Machine();
    ~Machine();

    static const std::wstring patch_folder;
    static const std::wstring install_folder;

    // The Start-menu folder of the catalogue, and the shortcut in it.
    std::wstring start_menu_folder() const;
    void put_shortcut(const std::wstring& working_folder);
    // The same in the Programs folder of all users.
    std::wstring all_users_start_menu_folder() const;
    void put_shortcut_for_all_users(const std::wstring& working_folder);
    // The patch folder as shipped; `archive` is one of the test archives, or empty for none.
    void put_patch(const std::wstring& archive = L"catalogo.zip", bool with_unzip32 = true);
    // UNZIP32.DLL in the patch folder replaced by another file, a Windows path.
    void replace_unzip32(const std::wstring& file);
    void put_ledger(const std::string& content, const std::wstring& folder = install_folder);
    // An old catalogue of two files and a sub-folder.
    void put_old_catalogue(const std::wstring& folder = install_folder);

    // The installer's later runs find no "Scripting.FileSystemObject", as on machines where it is
    // unregistered: Wine is told to load no scrrun.dll for them, until the machine is reset.
    void remove_script_objects();

    // Starts the installer from its folder, answers every box with its first button, and waits
    // for the end. `on_box` sees each box before it is answered.
    InstallerRun run_installer(const std::function<void(const testing::SeenBox&)>& on_box = {});
    // The same with these arguments after the program's name.
    InstallerRun run_installer(const std::wstring& arguments,
                               const std::function<void(const testing::SeenBox&)>& on_box = {});

    // Starts the installer and kills it the moment `moment` holds, as a power cut would. False
    // when the installer ended before.
    bool kill_installer_when(const std::function<bool()>& moment);

    // The files the archive catalogo.zip holds, relative to catalogo\, sorted.
    static std::vector<std::wstring> archive_files();
    static std::wstring test_data(const std::wstring& name);

private:
    void reset();
};

}  // namespace fennimark::e2e
