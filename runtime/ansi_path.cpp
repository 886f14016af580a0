#include "runtime/ansi_path.h"

#include "runtime/code_page.h"
#include "runtime/run_time_error.h"

#include <windows.h>

namespace fennimark::runtime {

namespace {

// The short form the file system keeps for an existing path; empty when there is none.
std::wstring short_form(const std::wstring& path)
{
    const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0)
        return {};
    std::wstring shortened(needed, L'\0');
    const DWORD written = GetShortPathNameW(path.c_str(), shortened.data(), needed);
    if (written == 0 || written >= needed)
        return {};
    shortened.resize(written);
    return shortened;
}

}  // namespace

bool fits_ansi_code_page(const std::wstring& text)
{
    return from_ansi(to_ansi(text)) == text;
}

std::wstring path_for_ansi_interface(const std::wstring& path)
{
    if (fits_ansi_code_page(path))
        return path;
    const std::wstring shortened = short_form(path);
    if (!shortened.empty() && fits_ansi_code_page(shortened))
        return shortened;
    raise(error::path_not_found, path);
}

}  // namespace fennimark::runtime
