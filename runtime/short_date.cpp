#include "runtime/short_date.h"

#include <windows.h>

namespace fennimark::runtime {

std::wstring short_date_today()
{
    wchar_t buffer[80] = {};
    const int written = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buffer, 80);
    if (written > 0)
        return std::wstring(buffer, static_cast<std::size_t>(written - 1));
    // No user format: an unambiguous day/month/year of ten characters.
    SYSTEMTIME now{};
    GetLocalTime(&now);
    swprintf(buffer, 80, L"%02u/%02u/%04u", now.wDay, now.wMonth, now.wYear);
    return buffer;
}

}  // namespace fennimark::runtime
