#include "tests/support/temp_folder.h"

#include <stdexcept>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
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

// Removes `path` and, unless it is a link, everything below it; errors are left for the caller
// to notice, since a test folder that cannot be removed must not stop the tests.
void remove_item(const fs::path& path)
{
    std::error_code ignored;
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    const bool folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
    if (folder && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        for (const auto& item : fs::directory_iterator(path, ignored))
            remove_item(item.path());
    if (folder)
        RemoveDirectoryW(path.c_str());
    else
        DeleteFileW(path.c_str());
#else
    const auto status = fs::symlink_status(path, ignored);
    if (!fs::exists(status))
        return;
    if (fs::is_directory(status)) {
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
        for (const auto& item : fs::directory_iterator(path, ignored))
            remove_item(item.path());
    }
    fs::remove(path, ignored);
#endif
}

}  // namespace

TempFolder::TempFolder()
{
    static unsigned counter = 0;
    const fs::path base = fs::temp_directory_path();
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
    remove_item(path_);
}

}  // namespace fennimark::testing
