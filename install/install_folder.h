#pragma once

#include <string>

namespace fennimark {

// The install folder from the working-folder field text of the catalogue's shortcut: blanks
// trimmed from both ends, the last character (the field's NUL) dropped, and the known malformed
// folder name "...Fennimarkprogetto_html" repaired. Run-time error 5 for text that is empty or all
// blanks.
std::wstring install_folder_from_field(const std::wstring& Path);

// True for a folder that names its place in full: "X:\" or "\\server\share\" at its start. Anything
// else (empty, "Cat", "\Cat", "C:Cat") would be taken from the current drive or folder.
bool is_absolute_folder(const std::wstring& folder);

// The refusal for an install folder that cannot be the catalogue's: the missing-catalogue box,
// then the end of the program with exit code 1.
[[noreturn]] void refuse_missing_catalogue();

// The repair alone: when the lower-cased text holds "fennimarkprogetto_html", every
// "progetto_html" (matching case exactly) gets a backslash before it.
std::wstring repaired_folder_name(const std::wstring& folder);

}  // namespace fennimark
