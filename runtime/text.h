#pragma once
// The text functions the installer's logic is written in, with the language's rules: truth values
// as 16-bit integers, blanks-only trimming, and numbers read from text with overflow and
// type-mismatch errors.

#include <cstdint>
#include <string>

namespace fennimark {

using truth = std::int16_t;
inline constexpr truth True = -1;
inline constexpr truth False = 0;

}  // namespace fennimark

namespace fennimark::runtime {

// Removes blanks (code 32 only) from both ends.
std::wstring trim_blanks(const std::wstring& text);

// All but the last character; run-time error 5 for the empty text.
std::wstring without_last_character(const std::wstring& text);

std::wstring to_lower(const std::wstring& text);

// Every occurrence of `from` replaced by `to`, matching case exactly, scanning from the start.
std::wstring replace_all(const std::wstring& text, const std::wstring& from, const std::wstring& to);

// A signed 16-bit integer from text already trimmed: an optional sign and decimal digits, leading
// zeros allowed. Run-time error 13 when it is not a number, 6 when it does not fit.
std::int16_t to_int16(const std::wstring& text);

// The same text padded with blanks to `width` characters (or cut to it).
std::wstring padded_right(const std::wstring& text, std::size_t width);

}  // namespace fennimark::runtime
