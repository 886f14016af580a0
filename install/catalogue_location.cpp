#include "install/catalogue_location.h"

#include "install/folder_test.h"
#include "runtime/handles.h"
#include "runtime/run_time_error.h"
#include "runtime/text.h"

#include <windows.h>
#include <shlobj.h>
#include <wtsapi32.h>

#include <vector>

namespace fennimark::install {

namespace {

std::optional<std::wstring> programs_folder_of(int csidl, HANDLE token)
{
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, token, SHGFP_TYPE_CURRENT, folder)) || folder[0] == L'\0')
        return std::nullopt;
    return folder;
}

bool running_as_system()
{
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw))
        return false;
    const runtime::KernelHandle token(raw);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size == 0)
        return false;
    std::vector<unsigned char> buffer(size);
    if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size))
        return false;
    const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.data());
    return IsWellKnownSid(user->User.Sid, WinLocalSystemSid) != FALSE;
}

// The token of the user who owns the desktop: under SYSTEM, the user of the active console
// session; otherwise whoever runs the shell window. None when no one is logged on or there is no
// shell.
runtime::KernelHandle desktop_owner_token()
{
    HANDLE raw = nullptr;
    if (running_as_system()) {
        const DWORD session = WTSGetActiveConsoleSessionId();
        if (session != 0xFFFFFFFF && WTSQueryUserToken(session, &raw))
            return runtime::KernelHandle(raw);
        return {};
    }
    const HWND shell = GetShellWindow();
    DWORD process_id = 0;
    if (!shell || !GetWindowThreadProcessId(shell, &process_id) || process_id == 0)
        return {};
    const runtime::KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
    if (!process || !OpenProcessToken(process.get(), TOKEN_QUERY | TOKEN_IMPERSONATE | TOKEN_DUPLICATE, &raw))
        return {};
    return runtime::KernelHandle(raw);
}

bool same_folder(const std::wstring& a, const std::wstring& b)
{
    return runtime::to_lower(a) == runtime::to_lower(b);
}

}  // namespace

std::vector<ProgramsFolder> programs_folders_to_search()
{
    std::vector<ProgramsFolder> folders;
    const auto current = programs_folder_of(CSIDL_PROGRAMS, nullptr);
    if (!current)
        runtime::raise(runtime::error::cannot_create_object, L"Programs");
    folders.push_back({*current, L"dell'utente corrente"});

    if (const runtime::KernelHandle owner = desktop_owner_token()) {
        const auto owners = programs_folder_of(CSIDL_PROGRAMS, owner.get());
        if (owners && !same_folder(*owners, *current))
            folders.push_back({*owners, L"dell'utente del desktop"});
    }
    if (const auto common = programs_folder_of(CSIDL_COMMON_PROGRAMS, nullptr))
        folders.push_back({*common, L"di tutti gli utenti"});
    return folders;
}

std::optional<ProgramsFolder> first_with_catalogue(const std::vector<ProgramsFolder>& folders)
{
    for (const ProgramsFolder& folder : folders)
        if (cartella_esiste(folder.path + L"\\Fennimark"))
            return folder;
    return std::nullopt;
}

}  // namespace fennimark::install
