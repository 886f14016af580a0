#include "tests/support/temp_folder.h"

#include <set>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fennimark::testing {

namespace fs = std::filesystem;

namespace {

unsigned long process_id()
{
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(getpid());
#endif
}

#ifdef _WIN32
// Paths in the form that reaches any depth.
std::wstring long_form(const fs::path& path)
{
    const std::wstring full = fs::absolute(path).wstring();
    return full.rfind(L"\\\\", 0) == 0 ? full : L"\\\\?\\" + full;
}

// Removes `root` and, unless it is a link, everything below it; errors are left for the caller
// to notice, since a test folder that cannot be removed must not stop the tests.
void remove_tree(const fs::path& root)
{
    // Without recursion, since a tree may be thousands of folders deep: a folder is removed once a
    // look into it finds it empty.
    std::vector<std::wstring> folders{long_form(root)};
    std::set<std::wstring> left;  // folders that could not be removed: not looked into again
    while (!folders.empty()) {
        const std::wstring folder = folders.back();
        bool found_folder = false;
        WIN32_FIND_DATAW found;
        const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                const std::wstring path = folder + L"\\" + name;
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                const bool is_folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                                       !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
                if (is_folder) {
                    if (left.count(path))
                        continue;
                    folders.push_back(path);
                    found_folder = true;
                } else if (!DeleteFileW(path.c_str())) {
                    RemoveDirectoryW(path.c_str());  // a link to a folder
                }
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        if (!found_folder) {
            if (!RemoveDirectoryW(folder.c_str()))
                left.insert(folder);
            folders.pop_back();
        }
    }
}
#else
// Removes `root` and, unless it is a link, everything below it; errors are left for the caller
// to notice, since a test folder that cannot be removed must not stop the tests.
void remove_tree(const fs::path& root)
{
    // Through descriptors, one folder open at a time, without recursion: a tree may be thousands of
    // folders deep, and its paths longer than the system takes.
    int folder = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) {
        unlink(root.c_str());
        return;
    }
    std::vector<std::string> names;  // from the root down to the open folder
    std::set<std::pair<dev_t, ino_t>> left;  // folders that could not be removed: not looked into again
    for (;;) {
        std::string sub_folder;
        if (DIR* listing = fdopendir(dup(folder))) {
            while (const dirent* item = readdir(listing)) {
                const std::string name = item->d_name;
                if (name == "." || name == "..")
                    continue;
                struct stat status {};
                if (fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode)) {
                    if (left.count({status.st_dev, status.st_ino}))
                        continue;
                    fchmodat(folder, name.c_str(), status.st_mode | S_IRWXU, 0);
                    sub_folder = name;
                    break;
                }
                unlinkat(folder, name.c_str(), 0);
            }
            closedir(listing);
        }
        if (!sub_folder.empty()) {
            const int below = openat(folder, sub_folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (below >= 0) {
                close(folder);
                folder = below;
                names.push_back(sub_folder);
                continue;
            }
            struct stat status {};
            if (unlinkat(folder, sub_folder.c_str(), AT_REMOVEDIR) != 0 &&
                fstatat(folder, sub_folder.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0)
                left.insert({status.st_dev, status.st_ino});
            continue;
        }
        if (names.empty())
            break;
        const int above = openat(folder, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        close(folder);
        if (above < 0)
            return;
        folder = above;
        struct stat status {};
        if (unlinkat(folder, names.back().c_str(), AT_REMOVEDIR) != 0 &&
            fstatat(folder, names.back().c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0)
            left.insert({status.st_dev, status.st_ino});
        names.pop_back();
    }
    close(folder);
    rmdir(root.c_str());
}
#endif

}  // namespace

TempFolder::TempFolder() : TempFolder(fs::temp_directory_path()) {}

TempFolder::TempFolder(const fs::path& base)
{
    static unsigned counter = 0;
    for (;;) {
        path_ = base / ("fennimark_test_" + std::to_string(process_id()) + "_" + std::to_string(++counter));
        std::error_code error;
        if (fs::create_directory(path_, error))
            return;
        if (error)
            throw std::runtime_error("cannot create a temporary folder in " + base.string() + ": " + error.message());
    }
}

TempFolder::~TempFolder()
{
    remove_tree(path_);
}

}  // namespace fennimark::testing
