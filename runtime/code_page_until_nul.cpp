// Shared by the Windows and the portable code page conversions: only from_ansi differs.

#include "runtime/code_page.h"

#include <cstring>

namespace fennimark::runtime {

std::wstring from_ansi_until_nul(const char* bytes, std::size_t limit)
{
    if (bytes == nullptr)
        return {};
    const void* nul = std::memchr(bytes, 0, limit);
    const std::size_t length = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - bytes) : limit;
    return from_ansi(std::string_view(bytes, length));
}

}  // namespace fennimark::runtime
