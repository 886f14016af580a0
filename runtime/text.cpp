#include "runtime/text.h"

#include "runtime/run_time_error.h"

#include <windows.h>

namespace fennimark::runtime {

std::wstring trim_blanks(const std::wstring& text)
{
    const auto first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos)
        return {};
    const auto last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

std::wstring without_last_character(const std::wstring& text)
{
    if (text.empty())
        raise(error::invalid_call);
    return text.substr(0, text.size() - 1);
}

std::wstring to_lower(const std::wstring& text)
{
    std::wstring lower = text;
    if (!lower.empty())
        CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
    return lower;
}

std::wstring replace_all(const std::wstring& text, const std::wstring& from, const std::wstring& to)
{
    if (from.empty())
        return text;
    std::wstring result;
    std::size_t start = 0;
    for (auto found = text.find(from); found != std::wstring::npos; found = text.find(from, start)) {
        result.append(text, start, found - start).append(to);
        start = found + from.size();
    }
    return result.append(text, start);
}

std::int16_t to_int16(const std::wstring& text)
{
    std::size_t position = 0;
    bool negative = false;
    if (position < text.size() && (text[position] == L'+' || text[position] == L'-'))
        negative = text[position++] == L'-';
    if (position == text.size())
        raise(error::type_mismatch, text);
    long value = 0;
    bool too_big = false;
    for (; position < text.size(); ++position) {
        const wchar_t digit = text[position];
        if (digit < L'0' || digit > L'9')
            raise(error::type_mismatch, text);
        if (!too_big)
            value = value * 10 + (digit - L'0');
        too_big = too_big || value > 32768;
    }
    if (negative)
        value = -value;
    if (too_big || value > 32767 || value < -32768)
        raise(error::overflow, text);
    return static_cast<std::int16_t>(value);
}

std::wstring padded_right(const std::wstring& text, std::size_t width)
{
    std::wstring result = text.substr(0, width);
    result.resize(width, L' ');
    return result;
}

}  // namespace fennimark::runtime
