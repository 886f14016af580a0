#pragma once
// Whole-file operations: copy, delete, rename, and the file and folder tests.

#include <string>

namespace fennimark::runtime {

// Creates `target`, or replaces it, with the content of `source`; raises a run-time error naming
// the file concerned when that fails.
void copy_file(const std::wstring& source, const std::wstring& target);

void delete_file(const std::wstring& path);

// True for an existing folder, hidden or not.
bool folder_exists(const std::wstring& path);
// True for an existing file that is not a folder, hidden or not.
bool file_exists(const std::wstring& path);

// Gives a file or folder a new name in the same volume; fails when the new name is taken.
void rename_entry(const std::wstring& from, const std::wstring& to);
// Puts file `from` in the place of file `to` in one step, so that `to` is never missing or
// half-written, whatever happens meanwhile.
void replace_file(const std::wstring& from, const std::wstring& to);

}  // namespace fennimark::runtime
