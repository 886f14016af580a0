#pragma once
// Real files for the tests: a temporary folder that is removed afterwards, and whole-file helpers.

#include <string>
#include <vector>

namespace fennimark::testing {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

void write_file(const std::wstring& path, const std::string& bytes);
std::string read_file(const std::wstring& path);
bool file_exists(const std::wstring& path);
bool folder_exists(const std::wstring& path);
void make_folder(const std::wstring& path);
// Removes a folder and everything in it, read-only files included, never through a link (which is
// removed itself); no error when it is missing.
void remove_tree(const std::wstring& path);
// Under Wine, which cannot make folder links of its own: a Unix symbolic link at `link` to the
// folder `target` (both Windows paths), which Windows programs see as a folder link, and its
// removal (the link alone). Throw when that fails.
void make_unix_link(const std::wstring& link, const std::wstring& target);
void remove_unix_link(const std::wstring& link);
// UTF-8, for test messages.
std::string narrow(const std::wstring& text);
// The names in a folder and below it, relative to it, with backslashes, sorted; folders end in "\".
std::vector<std::wstring> list_tree(const std::wstring& path);

}  // namespace fennimark::testing
