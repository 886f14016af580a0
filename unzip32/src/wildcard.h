#pragma once
// Wildcard matching of entry names: '*' stands for any run of characters, '/' included, and '?'
// for exactly one character.

#include <string_view>

namespace unzip32 {

bool wildcard_match(std::u32string_view pattern, std::u32string_view name, bool ignore_case);

// The lower-case form used when case does not matter: Latin (ASCII, Latin-1, Latin Extended-A),
// Greek and Cyrillic capitals; every other character is its own.
char32_t fold_case(char32_t c);

}  // namespace unzip32
