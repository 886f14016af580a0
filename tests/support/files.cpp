#include "tests/support/files.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace fennimark::testing {

void write_file(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot write a test file");
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size())
        throw std::runtime_error("cannot write a test file");
}

std::string read_file(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot read a test file");
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

bool file_exists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool folder_exists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void make_folder(const std::wstring& path)
{
    if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        throw std::runtime_error("cannot create a test folder");
}

namespace {

std::string unix_path(const std::wstring& windows_path)
{
    using Converter = char*(CDECL*)(const wchar_t*);
    const auto convert = reinterpret_cast<Converter>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    char* converted = convert ? convert(windows_path.c_str()) : nullptr;
    if (!converted)
        throw std::runtime_error("no Unix path for a test file");
    std::string path = converted;
    HeapFree(GetProcessHeap(), 0, converted);
    return path;
}

// Runs a Unix program (Wine starts those too) and waits until `done` holds. Wine gives no exit
// code for such a program and does not wait for its end, so its effect is what is waited for.
void run_unix(const std::string& program, const std::vector<std::string>& arguments,
              const std::function<bool()>& done)
{
    std::wstring command = L"Z:" + std::wstring(program.begin(), program.end());
    for (const std::string& argument : arguments) {
        const int length = MultiByteToWideChar(CP_UTF8, 0, argument.data(), static_cast<int>(argument.size()),
                                               nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(length), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, argument.data(), static_cast<int>(argument.size()), wide.data(), length);
        command += L" \"" + wide + L"\"";
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        throw std::runtime_error("cannot start a Unix program");
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
    for (int tries = 0; !done(); ++tries) {
        if (tries == 500)
            throw std::runtime_error("a Unix program did not do its work");
        Sleep(10);
    }
}

bool entry_exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

std::string narrow(const std::wstring& text)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr, nullptr);
    return bytes;
}

void make_unix_link(const std::wstring& link, const std::wstring& target)
{
    run_unix("/bin/ln", {"-s", unix_path(target), unix_path(link)}, [&] { return entry_exists(link); });
}

void remove_unix_link(const std::wstring& link)
{
    run_unix("/bin/rm", {unix_path(link)}, [&] { return !entry_exists(link); });
}

void remove_tree(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        if (!((attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str())))
            try {
                remove_unix_link(path);
            } catch (const std::exception&) {
            }
        return;
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW entry{};
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name != L"." && name != L"..")
                remove_tree(path + L"\\" + name);
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

namespace {
void collect(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>& names)
{
    WIN32_FIND_DATAW entry{};
    HANDLE search = FindFirstFileW((root + L"\\" + relative + L"*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            names.push_back(relative + name + L"\\");
            collect(root, relative + name + L"\\", names);
        } else {
            names.push_back(relative + name);
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}
}  // namespace

std::wstring from_build(const std::wstring& linux_path)
{
    std::wstring path = L"Z:" + linux_path;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::vector<std::wstring> list_tree(const std::wstring& path)
{
    std::vector<std::wstring> names;
    collect(path, L"", names);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace fennimark::testing
