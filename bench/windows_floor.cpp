// What Windows' file calls allow, for comparison with the extraction: the archive's files written
// with their names, folders and sizes from memory, without inflating, on one thread. `plain`
// creates each file under its name; `renamed` writes it under a temporary name in its folder and
// then renames it into place, as the archive library does; `checked` adds the calls the library
// makes for each file besides (the file's attributes, the folder's free space, the file's time),
// to tell their cost from the library's own. Timed inside the process, from the archive's opening
// on, so that the start of the program (Wine's, here) is not counted.
//
//   unzip32_bench_windows_floor plain|renamed|checked ARCHIVE FOLDER
//
// Prints "seconds S".

#include <zip.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

struct ArchiveCloser {
    void operator()(zip_t* archive) const noexcept { zip_discard(archive); }
};

struct HandleCloser {
    void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

std::wstring wide(const std::string& text)
{
    std::wstring result(text.size(), L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                                           static_cast<int>(result.size()));
    result.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    for (wchar_t& c : result)
        if (c == L'/')
            c = L'\\';
    return result;
}

// Every folder above `name`, made once.
void make_parents(const std::wstring& root, const std::wstring& name, std::set<std::wstring>& made)
{
    for (std::size_t slash = name.find(L'\\'); slash != std::wstring::npos; slash = name.find(L'\\', slash + 1)) {
        const std::wstring folder = root + L"\\" + name.substr(0, slash);
        if (made.insert(folder).second)
            CreateDirectoryW(folder.c_str(), nullptr);
    }
}

bool write_file(const std::wstring& path, zip_uint64_t size, const std::vector<char>& bytes, DWORD creation,
                bool timed = false)
{
    HANDLE opened = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return false;
    const Handle file(opened);
    while (size > 0) {
        const DWORD length = static_cast<DWORD>(size < bytes.size() ? size : bytes.size());
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), length, &written, nullptr) || written == 0)
            return false;
        size -= written;
    }
    if (timed) {
        FILETIME time{};
        GetSystemTimeAsFileTime(&time);
        return SetFileTime(file.get(), nullptr, &time, &time) != 0;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc == 4 ? argv[1] : "";
    if (mode != "plain" && mode != "renamed" && mode != "checked") {
        std::fprintf(stderr, "usage: %s plain|renamed|checked ARCHIVE FOLDER\n", argv[0]);
        return 2;
    }
    LARGE_INTEGER frequency, started, ended;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&started);

    int error = 0;
    const std::unique_ptr<zip_t, ArchiveCloser> archive(zip_open(argv[2], ZIP_RDONLY, &error));
    if (!archive) {
        std::fprintf(stderr, "cannot open %s\n", argv[2]);
        return 1;
    }
    const std::wstring root = wide(argv[3]);
    std::vector<char> bytes(256 * 1024);
    std::mt19937 random(1);
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    std::set<std::wstring> made;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t index = 0; index < count; ++index) {
        zip_stat_t stat;
        if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(index), 0, &stat) != 0)
            return 1;
        const std::wstring name = wide(stat.name);
        make_parents(root, name, made);
        if (name.empty() || name.back() == L'\\')
            continue;
        const std::wstring path = root + L"\\" + name;
        if (mode == "plain") {
            if (!write_file(path, stat.size, bytes, CREATE_ALWAYS))
                return 1;
            continue;
        }
        // In the file's own folder, as the library does, so that the rename never crosses volumes.
        const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
        const std::wstring scratch = folder + L"\\.floor-" + std::to_wstring(index) + L".tmp";
        const bool checked = mode == "checked";
        if (checked) {
            WIN32_FILE_ATTRIBUTE_DATA attributes;
            ULARGE_INTEGER available;
            GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes);
            if (!GetDiskFreeSpaceExW((folder + L"\\").c_str(), &available, nullptr, nullptr))
                return 1;
        }
        if (!write_file(scratch, stat.size, bytes, CREATE_NEW, checked) ||
            !MoveFileExW(scratch.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
            return 1;
    }
    QueryPerformanceCounter(&ended);
    std::printf("seconds %.4f\n",
                static_cast<double>(ended.QuadPart - started.QuadPart) / static_cast<double>(frequency.QuadPart));
    return 0;
}
