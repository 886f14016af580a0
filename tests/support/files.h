#pragma once
// Real files for the tests: whole-file and folder helpers.

#include "tests/support/temp_folder.h"

#include <string>
#include <vector>

namespace fennimark::testing {

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
// A file of the build, given as a Linux path, as the Windows programs see it (Wine shows the
// Linux root as drive Z:).
std::wstring from_build(const std::wstring& linux_path);
// The names in a folder and below it, relative to it, with backslashes, sorted; folders end in "\".
std::vector<std::wstring> list_tree(const std::wstring& path);

}  // namespace fennimark::testing
