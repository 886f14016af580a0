// The file-system operations on Windows, through the wide-character calls only, on paths in the
// "\\?\" form, which reaches names of any length and takes each name as it is.

#include "file_system.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <utility>

namespace unzip32 {
namespace {

constexpr std::int64_t filetime_ticks_per_second = 10'000'000;
constexpr std::int64_t seconds_from_1601_to_1970 = 11'644'473'600;

std::time_t time_from_filetime(const FILETIME& time)
{
    const std::int64_t ticks = static_cast<std::int64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
    return static_cast<std::time_t>(ticks / filetime_ticks_per_second - seconds_from_1601_to_1970);
}

FILETIME filetime_from_time(std::time_t time)
{
    const std::int64_t ticks = (static_cast<std::int64_t>(time) + seconds_from_1601_to_1970) * filetime_ticks_per_second;
    return {static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
}

bool starts_with(const std::wstring& text, const wchar_t* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

NativeString join_path(const NativeString& folder, const NativeString& name)
{
    if (folder.empty() || folder.back() == L'\\')
        return folder + name;
    return folder + L'\\' + name;
}

NativeString comparable_path(const NativeString& path)
{
    if (path.empty())
        return path;
    const int given = static_cast<int>(path.size());
    const int needed = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, path.data(), given, nullptr, 0, nullptr,
                                     nullptr, 0);
    if (needed <= 0)
        return path;
    NativeString upper(static_cast<std::size_t>(needed), L'\0');
    const int length = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, path.data(), given, upper.data(), needed,
                                     nullptr, nullptr, 0);
    if (length <= 0)
        return path;
    upper.resize(static_cast<std::size_t>(length));
    return upper;
}

NativeString usable_folder_path(const NativeString& folder)
{
    const std::wstring given = folder.empty() ? L"." : folder;
    if (starts_with(given, L"\\\\?\\"))
        return given;
    const DWORD needed = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return given;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(given.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return given;
    full.resize(length);
    while (full.size() > 3 && full.back() == L'\\')
        full.pop_back();
    if (starts_with(full, L"\\\\"))
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

FileInfo file_info(const NativeString& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return {};
    FileInfo info;
    info.exists = true;
    info.is_folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.is_link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    info.read_only = !info.is_folder && (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    info.modified = time_from_filetime(data.ftLastWriteTime);
    return info;
}

std::optional<std::uint64_t> free_space(const NativeString& folder)
{
    // The call wants a folder name that ends in a backslash.
    const NativeString named = folder.empty() || folder.back() == L'\\' ? folder : folder + L'\\';
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExW(named.c_str(), &available, nullptr, nullptr))
        return std::nullopt;
    return available.QuadPart;
}

bool make_folder(const NativeString& path)
{
    if (CreateDirectoryW(path.c_str(), nullptr))
        return true;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool make_folder_tree(const NativeString& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::size_t slash = path.find_last_of(L'\\');
    // Stops at the root: "\\?\C:", "\\?\UNC\server\share" and the like are never created.
    if (slash != NativeString::npos && slash > 0 && path[slash - 1] != L'\\' && path[slash - 1] != L'?' &&
        path[slash - 1] != L':') {
        if (!make_folder_tree(path.substr(0, slash)))
            return false;
    }
    return make_folder(path);
}

std::optional<TempFile> TempFile::create_in(const NativeString& folder)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        TempFile file;
        file.path_ = join_path(folder, L".unzip32-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                           std::to_wstring(++counter) + L".tmp");
        HANDLE handle = CreateFileW(file.path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            file.handle_ = handle;
            return file;
        }
        const DWORD error = GetLastError();
        file.path_.clear();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return std::nullopt;
    }
    return std::nullopt;
}

TempFile::TempFile(TempFile&& other) noexcept
    : path_(std::move(other.path_)), handle_(std::exchange(other.handle_, nullptr))
{
    other.path_.clear();
}

TempFile::~TempFile() { discard(); }

void TempFile::discard() noexcept
{
    if (handle_ != nullptr)
        CloseHandle(handle_);
    handle_ = nullptr;
    if (!path_.empty())
        DeleteFileW(path_.c_str());
    path_.clear();
}

bool TempFile::write(const char* bytes, std::size_t length)
{
    while (length > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(length, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(handle_, bytes, chunk, &written, nullptr) || written == 0)
            return false;
        bytes += written;
        length -= written;
    }
    return true;
}

bool TempFile::commit_as(const NativeString& path, std::time_t modified)
{
    const FILETIME time = filetime_from_time(modified);
    const bool timed = SetFileTime(handle_, nullptr, &time, &time) != 0;
    const bool closed = CloseHandle(std::exchange(handle_, nullptr)) != 0;
    if (!timed || !closed || !MoveFileExW(path_.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        discard();
        return false;
    }
    path_.clear();
    return true;
}

}  // namespace unzip32
