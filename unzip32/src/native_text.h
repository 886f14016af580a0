#pragma once
// Text as the library meets it: names from libzip in UTF-8, text from and to the caller in the
// system's 8-bit code page, and paths in the file system's own form (UTF-16 on Windows, where
// the wide-character file calls are the only ones that reach every name; bytes elsewhere).
// Outside Windows the system's 8-bit text is taken to be UTF-8.

#include <string>
#include <string_view>

namespace unzip32 {

#ifdef _WIN32
using NativeChar = wchar_t;
#else
using NativeChar = char;
#endif
using NativeString = std::basic_string<NativeChar>;

NativeString native_from_utf8(std::string_view utf8);
NativeString native_from_ansi(std::string_view ansi);
// Characters the code page lacks become '?'.
std::string ansi_from_utf8(std::string_view utf8);
std::string utf8_from_ansi(std::string_view ansi);
// Malformed sequences become U+FFFD.
std::u32string u32_from_utf8(std::string_view utf8);

}  // namespace unzip32
