#include "runtime/directory_search.h"

#include "runtime/handles.h"
#include "runtime/run_time_error.h"

namespace fennimark::runtime {

namespace {

bool allowed_by(const WIN32_FIND_DATAW& entry, unsigned mask)
{
    constexpr DWORD selective = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
    return (entry.dwFileAttributes & selective & ~static_cast<DWORD>(mask)) == 0;
}

}  // namespace

std::wstring find_first_entry(const std::wstring& path, unsigned mask)
{
    if (path.empty())
        return {};
    if (path.find(L'\0') != std::wstring::npos)
        raise(error::invalid_call, path);
    WIN32_FIND_DATAW entry{};
    FindHandle search(FindFirstFileW(path.c_str(), &entry));
    if (!search) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == ERROR_NO_MORE_FILES)
            return {};
        raise(error::path_file_access, path);
    }
    do {
        if (allowed_by(entry, mask))
            return entry.cFileName;
    } while (FindNextFileW(search.get(), &entry));
    return {};
}

}  // namespace fennimark::runtime
