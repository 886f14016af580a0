#include "wildcard.h"

namespace unzip32 {

char32_t fold_case(char32_t c)
{
    if (c >= U'A' && c <= U'Z')
        return c + 0x20;
    if (c < 0xC0)
        return c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    // Latin Extended-A pairs its capitals and small letters, capital first, with a shift of
    // parity in the middle of the block.
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return (c % 2 == 0) ? c + 1 : c;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c % 2 == 1) ? c + 1 : c;
    if (c == 0x178)
        return 0xFF;
    return c;
}

namespace {

bool same(char32_t a, char32_t b, bool ignore_case)
{
    return a == b || (ignore_case && fold_case(a) == fold_case(b));
}

}  // namespace

// Greedy matching that goes back only to the last '*': linear in practice, and never exponential
// whatever the pattern.
bool wildcard_match(std::u32string_view pattern, std::u32string_view name, bool ignore_case)
{
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t star = std::u32string_view::npos;
    std::size_t resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == U'*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() && (pattern[p] == U'?' || same(pattern[p], name[n], ignore_case))) {
            ++p;
            ++n;
        } else if (star != std::u32string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*')
        ++p;
    return p == pattern.size();
}

}  // namespace unzip32
