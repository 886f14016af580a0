#include "runtime/folder_tree.h"

#include "runtime/handles.h"
#include "runtime/run_time_error.h"

#include <windows.h>

namespace fennimark::runtime {

namespace {

struct RemovalFailure {
    DWORD code;
};

// The form of an absolute path that is not cut at MAX_PATH: the library writes trees deeper than
// that.
std::wstring unlimited_form(const std::wstring& path)
{
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return path;
    std::wstring full(needed, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed)
        return path;
    full.resize(written);
    if (full.rfind(L"\\\\?\\", 0) == 0)
        return full;
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

void remove_item(const std::wstring& path, DWORD attributes, bool force);

void remove_contents(const std::wstring& folder, bool force)
{
    WIN32_FIND_DATAW found{};
    FindHandle search(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                       nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!search)
        throw RemovalFailure{GetLastError()};
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        remove_item(folder + L"\\" + name, found.dwFileAttributes, force);
    } while (FindNextFileW(search.get(), &found));
    const DWORD code = GetLastError();
    if (code != ERROR_NO_MORE_FILES)
        throw RemovalFailure{code};
}

void remove_item(const std::wstring& path, DWORD attributes, bool force)
{
    const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // A junction, a folder link or a file link: what it points to belongs to someone else.
    const bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        if (!force)
            throw RemovalFailure{ERROR_ACCESS_DENIED};
        // Changing a link's attributes could reach its target: a link is only ever removed.
        if (!link && !SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY))
            throw RemovalFailure{GetLastError()};
    }
    if (folder && !link)
        remove_contents(path, force);
    if (!(folder ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str())))
        throw RemovalFailure{GetLastError()};
}

}  // namespace

void remove_folder_tree(const std::wstring& folder, bool force)
{
    const std::wstring path = unlimited_form(folder);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
            return;
        raise_win32(code, folder);
    }
    try {
        remove_item(path, attributes, force);
    } catch (const RemovalFailure& failure) {
        raise_win32(failure.code, folder);
    }
}

}  // namespace fennimark::runtime
