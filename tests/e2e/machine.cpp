#include "tests/e2e/machine.h"

#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/shortcuts.h"
#include "tests/support/system_folders.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#ifndef FENNIMARK_PROGRAM
#error "FENNIMARK_PROGRAM and FENNIMARK_UNZIP32 name the built program and library"
#endif

namespace fennimark::e2e {

namespace {

// Wine's own setting for one program: load no scrrun.dll, the library of the script objects. Its
// environment variable would not reach a program this one starts.
constexpr wchar_t installer_overrides[] = L"Software\\Wine\\AppDefaults\\fennimark_patch.exe\\DllOverrides";

void set_script_objects_for_installer(bool present)
{
    if (present) {
        RegDeleteTreeW(HKEY_CURRENT_USER, installer_overrides);
        return;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, installer_overrides, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot set the installer's library overrides");
    const wchar_t disabled[] = L"";
    RegSetValueExW(key, L"scrrun", 0, REG_SZ, reinterpret_cast<const BYTE*>(disabled), sizeof disabled);
    RegCloseKey(key);
}

// Dates in the ledger are written in the user's short format; the scenarios fix it to one they
// can spell themselves.
void use_iso_short_dates()
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\International", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot open the user's international settings");
    const wchar_t format[] = L"yyyy-MM-dd";
    RegSetValueExW(key, L"sShortDate", 0, REG_SZ, reinterpret_cast<const BYTE*>(format), sizeof format);
    RegCloseKey(key);
}

testing::Process start_installer(const std::wstring& folder, const std::wstring& arguments = L"")
{
    return testing::Process(folder + L"\\fennimark_patch.exe", folder, arguments);
}

void note_windows(DWORD process_id, std::vector<std::wstring>& seen)
{
    for (const std::wstring& window : testing::visible_windows_of(process_id))
        if (window != L"#32770" && std::find(seen.begin(), seen.end(), window) == seen.end())
            seen.push_back(window);
}

void copy(const std::wstring& from, const std::wstring& to)
{
    if (!CopyFileW(from.c_str(), to.c_str(), FALSE))
        throw std::runtime_error("cannot copy a test file");
}

}  // namespace

const std::wstring Machine::patch_folder = L"C:\\e2e\\patch";
const std::wstring Machine::install_folder = L"C:\\e2e\\Fennimark";

Machine::Machine()
{
    use_iso_short_dates();
    reset();
    testing::make_folder(L"C:\\e2e");
    testing::make_folder(patch_folder);
    testing::make_folder(install_folder);
}

Machine::~Machine()
{
    reset();
}

void Machine::remove_script_objects()
{
    set_script_objects_for_installer(false);
}

void Machine::reset()
{
    set_script_objects_for_installer(true);
    testing::remove_tree(L"C:\\e2e");
    testing::remove_tree(start_menu_folder());
    testing::remove_tree(all_users_start_menu_folder());
    for (const auto& folder : {testing::native_system32(), std::wstring(L"C:\\windows\\syswow64")}) {
        testing::remove_tree(folder + L"\\zip32.dll");
        testing::remove_tree(folder + L"\\UNZIP32.DLL");
    }
}

std::wstring Machine::start_menu_folder() const
{
    return testing::programs_folder() + L"\\Fennimark";
}

std::wstring Machine::all_users_start_menu_folder() const
{
    return testing::all_users_programs_folder() + L"\\Fennimark";
}

namespace {

void put_shortcut_in(const std::wstring& folder, const std::wstring& working_folder)
{
    testing::make_folder(folder);
    testing::ShortcutFields fields;
    fields.target = Machine::install_folder + L"\\catalogo\\index.html";
    fields.working_folder = working_folder;
    testing::make_shortcut(folder + L"\\Fennimark.lnk", fields);
}

}  // namespace

void Machine::put_shortcut(const std::wstring& working_folder)
{
    put_shortcut_in(start_menu_folder(), working_folder);
}

void Machine::put_shortcut_for_all_users(const std::wstring& working_folder)
{
    put_shortcut_in(all_users_start_menu_folder(), working_folder);
}

void Machine::put_patch(const std::wstring& archive, bool with_unzip32)
{
    copy(testing::from_build(FENNIMARK_PROGRAM), patch_folder + L"\\fennimark_patch.exe");
    testing::write_file(patch_folder + L"\\zip32.dll", "zip32 companion library");
    if (with_unzip32)
        copy(testing::from_build(FENNIMARK_UNZIP32), patch_folder + L"\\UNZIP32.DLL");
    if (!archive.empty())
        copy(test_data(archive), patch_folder + L"\\catalogo.zip");
}

void Machine::replace_unzip32(const std::wstring& file)
{
    copy(file, patch_folder + L"\\UNZIP32.DLL");
}

void Machine::put_ledger(const std::string& content, const std::wstring& folder)
{
    testing::write_file(folder + L"\\patch.txt", content);
}

void Machine::put_old_catalogue(const std::wstring& folder)
{
    testing::make_folder(folder + L"\\catalogo");
    testing::make_folder(folder + L"\\catalogo\\vecchie");
    testing::write_file(folder + L"\\catalogo\\index.html", "old index");
    testing::write_file(folder + L"\\catalogo\\vecchie\\old.html", "old page");
}

InstallerRun Machine::run_installer(const std::function<void(const testing::SeenBox&)>& on_box)
{
    return run_installer(L"", on_box);
}

InstallerRun Machine::run_installer(const std::wstring& arguments,
                                    const std::function<void(const testing::SeenBox&)>& on_box)
{
    const testing::Process installer = start_installer(patch_folder, arguments);
    InstallerRun run;
    const ULONGLONG give_up = GetTickCount64() + 60000;
    // Short waits, so that a window shown between boxes is seen too.
    while (installer.running() && GetTickCount64() < give_up) {
        note_windows(installer.id(), run.windows);
        auto box = testing::wait_for_box_of(installer.handle(), installer.id(), 100);
        if (!box)
            continue;
        run.boxes.push_back(*box);
        if (on_box)
            on_box(*box);
        const int first_button = box->buttons.size() == 3 ? IDYES : IDOK;
        testing::press(*box, first_button);
    }
    const auto exit_code = installer.wait(30000);
    if (!exit_code) {
        installer.kill();
        throw std::runtime_error("the installer did not end");
    }
    run.exit_code = *exit_code;
    return run;
}

bool Machine::kill_installer_when(const std::function<bool()>& moment)
{
    const testing::Process installer = start_installer(patch_folder);
    const ULONGLONG give_up = GetTickCount64() + 60000;
    bool reached = false;
    while (!(reached = moment()) && installer.running() && GetTickCount64() < give_up) {
    }
    const bool killed_while_running = reached && installer.running();
    installer.kill();
    return killed_while_running;
}

std::wstring Machine::test_data(const std::wstring& name)
{
    return testing::from_build(FENNIMARK_E2E_DATA) + L"\\" + name;
}

std::vector<std::wstring> Machine::archive_files()
{
    std::istringstream listing(testing::read_file(test_data(L"catalogue-files.txt")));
    std::vector<std::wstring> names;
    for (std::string line; std::getline(listing, line);)
        names.emplace_back(line.begin(), line.end());
    return names;
}

}  // namespace fennimark::e2e
