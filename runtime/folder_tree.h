#pragma once
// Removing a folder with everything in it through the file system's own calls.

#include <string>

namespace fennimark::runtime {

// Removes `folder` and everything below it. A folder link or junction met on the way (or `folder`
// itself being one) is removed as a link and never descended into, so nothing behind it changes.
// Unforced, a read-only item stops the removal, as it would stop a person; forced, read-only
// items are removed too. A failure is a run-time error naming `folder`; what was removed before
// it stays removed. Nothing to do when `folder` does not exist.
void remove_folder_tree(const std::wstring& folder, bool force);

}  // namespace fennimark::runtime
