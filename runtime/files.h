#pragma once
// Whole-file operations: copy, delete, and the folder test.

#include <string>

namespace fennimark::runtime {

// Creates `target`, or replaces it, with the content of `source`; raises a run-time error naming
// the file concerned when that fails.
void copy_file(const std::wstring& source, const std::wstring& target);

void delete_file(const std::wstring& path);

// True for an existing folder, hidden or not.
bool folder_exists(const std::wstring& path);

}  // namespace fennimark::runtime
