// Code-page conversions where the system's 8-bit text is UTF-8, as outside Windows: the archive
// library speaks UTF-8 there.

#include "runtime/code_page.h"

namespace fennimark::runtime {

namespace {

void append_utf8(std::string& bytes, char32_t c)
{
    if (c < 0x80) {
        bytes += static_cast<char>(c);
    } else if (c < 0x800) {
        bytes += static_cast<char>(0xC0 | (c >> 6));
        bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        bytes += static_cast<char>(0xE0 | (c >> 12));
        bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        bytes += static_cast<char>(0xF0 | (c >> 18));
        bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (c & 0x3F));
    }
}

struct Sequence {
    std::size_t length;  // bytes after the lead byte
    char32_t lead_bits;
    char32_t least;      // smaller values have a shorter form
};

// What the lead byte starts; nothing when it starts no sequence.
bool sequence_of(unsigned char lead, Sequence& sequence)
{
    if ((lead & 0xE0) == 0xC0)
        sequence = {1, static_cast<char32_t>(lead & 0x1F), 0x80};
    else if ((lead & 0xF0) == 0xE0)
        sequence = {2, static_cast<char32_t>(lead & 0x0F), 0x800};
    else if ((lead & 0xF8) == 0xF0)
        sequence = {3, static_cast<char32_t>(lead & 0x07), 0x10000};
    else
        return false;
    return true;
}

// The length of the well-formed sequence at the start of `bytes`, and its character in `c`; 0
// when it is malformed.
std::size_t decode_one(std::string_view bytes, char32_t& c)
{
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    Sequence sequence{};
    if (!sequence_of(lead, sequence) || bytes.size() <= sequence.length)
        return 0;
    c = sequence.lead_bits;
    for (std::size_t i = 1; i <= sequence.length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (next & 0x3F);
    }
    if (c < sequence.least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return sequence.length + 1;
}

}  // namespace

std::string to_ansi(std::wstring_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (const wchar_t c : text)
        append_utf8(bytes, static_cast<char32_t>(c));
    return bytes;
}

std::wstring from_ansi(std::string_view bytes)
{
    // A byte that starts no well-formed sequence stands for itself, so nothing is lost.
    std::wstring text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        char32_t c = 0;
        std::size_t length = decode_one(bytes, c);
        if (length == 0) {
            c = static_cast<unsigned char>(bytes[0]);
            length = 1;
        }
        text += static_cast<wchar_t>(c);
        bytes.remove_prefix(length);
    }
    return text;
}

}  // namespace fennimark::runtime
