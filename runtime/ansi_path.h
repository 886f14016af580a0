#pragma once
// Paths handed to routines with an 8-bit interface (the archive library's records).

#include <string>

namespace fennimark::runtime {

// True when the text survives the trip to the system's 8-bit code page and back unchanged.
bool fits_ansi_code_page(const std::wstring& text);

// `path` as an 8-bit routine can be given it: unchanged when the code page can carry it, else its
// short (8.3) form when the file system has one that it can carry. Otherwise run-time error 76
// naming the path: handing over a look-alike would make the routine work on another folder.
std::wstring path_for_ansi_interface(const std::wstring& path);

}  // namespace fennimark::runtime
