#pragma once
// Conversions between the program's text (UTF-16) and 8-bit text in the system's ANSI code page,
// for every call into a routine with an 8-bit interface.

#include <cstddef>
#include <string>
#include <string_view>

namespace fennimark::runtime {

// Characters the code page lacks become '?', as the system's own conversion makes them.
std::string to_ansi(std::wstring_view text);

// The whole buffer, NULs included: each byte becomes one character.
std::wstring from_ansi(std::string_view bytes);

// From the first byte up to, not including, the first NUL, taking at most `limit` bytes.
std::wstring from_ansi_until_nul(const char* bytes, std::size_t limit);

}  // namespace fennimark::runtime
