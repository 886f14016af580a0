#pragma once
// Directory searches by path and attribute mask.

#include <string>

namespace fennimark::runtime {

namespace attribute {
inline constexpr unsigned normal = 0;      // ordinary files only
inline constexpr unsigned hidden = 2;
inline constexpr unsigned system = 4;
inline constexpr unsigned directory = 16;  // folders as well as ordinary files
}  // namespace attribute

// The name of the first entry that matches `path` (which may hold the wildcards * and ?) and whose
// hidden, system and folder attributes are all allowed by `mask`; the empty text when none does.
// A malformed path raises a run-time error.
std::wstring find_first_entry(const std::wstring& path, unsigned mask);

}  // namespace fennimark::runtime
