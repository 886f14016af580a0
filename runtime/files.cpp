#include "runtime/files.h"

#include "runtime/run_time_error.h"

#include <windows.h>

namespace fennimark::runtime {

void copy_file(const std::wstring& source, const std::wstring& target)
{
    if (CopyFileW(source.c_str(), target.c_str(), FALSE))
        return;
    const DWORD code = GetLastError();
    // Name the side that failed: a missing source is the common case, and the user can act on it.
    const bool source_missing = !file_exists(source);
    raise(source_missing ? error::file_not_found : error_number_for_win32(code),
          source_missing ? source : target);
}

void delete_file(const std::wstring& path)
{
    if (!DeleteFileW(path.c_str()))
        raise_win32(GetLastError(), path);
}

bool file_exists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void rename_entry(const std::wstring& from, const std::wstring& to)
{
    if (!MoveFileExW(from.c_str(), to.c_str(), 0))
        raise_win32(GetLastError(), from);
}

void replace_file(const std::wstring& from, const std::wstring& to)
{
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        raise_win32(GetLastError(), to);
}

bool folder_exists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace fennimark::runtime
