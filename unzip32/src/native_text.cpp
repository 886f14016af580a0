#include "native_text.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace unzip32 {

#ifdef _WIN32
namespace {

std::wstring wide_from(UINT code_page, std::string_view bytes)
{
    if (bytes.empty())
        return {};
    const int length = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(code_page, 0, bytes.data(), length, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(code_page, 0, bytes.data(), length, text.data(), needed);
    return text;
}

// Without "best fit": a character the code page lacks becomes '?', never a look-alike such as
// '/' for the division slash, which could make a name handed to the caller point elsewhere.
std::string bytes_from(UINT code_page, std::wstring_view text)
{
    if (text.empty())
        return {};
    const DWORD flags = code_page == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int length = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(code_page, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(code_page, flags, text.data(), length, bytes.data(), needed, nullptr, nullptr);
    return bytes;
}

}  // namespace

NativeString native_from_utf8(std::string_view utf8) { return wide_from(CP_UTF8, utf8); }
NativeString native_from_ansi(std::string_view ansi) { return wide_from(CP_ACP, ansi); }
std::string ansi_from_utf8(std::string_view utf8) { return bytes_from(CP_ACP, wide_from(CP_UTF8, utf8)); }
std::string utf8_from_ansi(std::string_view ansi) { return bytes_from(CP_UTF8, wide_from(CP_ACP, ansi)); }

#else

NativeString native_from_utf8(std::string_view utf8) { return NativeString(utf8); }
NativeString native_from_ansi(std::string_view ansi) { return NativeString(ansi); }
std::string ansi_from_utf8(std::string_view utf8) { return std::string(utf8); }
std::string utf8_from_ansi(std::string_view ansi) { return std::string(ansi); }

#endif

std::u32string u32_from_utf8(std::string_view utf8)
{
    constexpr char32_t replacement = 0xFFFD;
    std::u32string text;
    text.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t extra = 0;
        char32_t code = 0;
        char32_t smallest = 0;
        if (lead < 0x80) {
            code = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, code = lead & 0x1F, smallest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, code = lead & 0x0F, smallest = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, code = lead & 0x07, smallest = 0x10000;
        } else {
            text.push_back(replacement);
            ++i;
            continue;
        }
        std::size_t taken = 1;
        bool well_formed = true;
        for (; taken <= extra; ++taken) {
            if (i + taken >= utf8.size() || (static_cast<unsigned char>(utf8[i + taken]) & 0xC0) != 0x80) {
                well_formed = false;
                break;
            }
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + taken]) & 0x3F);
        }
        if (!well_formed || code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            text.push_back(replacement);
            i += taken;  // the lead byte and the continuation bytes seen so far
            continue;
        }
        text.push_back(code);
        i += taken;
    }
    return text;
}

}  // namespace unzip32
