#include "runtime/log_file.h"

#include "runtime/run_time_error.h"

#include <cstdio>

namespace fennimark::runtime {

namespace {

std::wstring timestamp(const SYSTEMTIME& time)
{
    wchar_t text[32] = {};
    std::swprintf(text, std::size(text), L"%04u-%02u-%02u %02u:%02u:%02u ", time.wYear, time.wMonth, time.wDay,
                  time.wHour, time.wMinute, time.wSecond);
    return text;
}

std::string to_utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                            nullptr);
    return bytes;
}

}  // namespace

LogFile::LogFile(const std::wstring& path)
    : path_(path), file_(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))
{
    if (!file_)
        raise_win32(GetLastError(), path);
}

std::wstring log_lines(const std::wstring& text, const SYSTEMTIME& time)
{
    const std::wstring stamp = timestamp(time);
    std::wstring lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos)
            end = text.size();
        if (end > start)
            lines += stamp + text.substr(start, end - start) + L"\r\n";
        if (end + 1 < text.size() && text[end] == L'\r' && text[end + 1] == L'\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

void LogFile::write(const std::wstring& text) noexcept
{
    try {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        const std::string bytes = to_utf8(log_lines(text, now));
        DWORD written = 0;
        WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    } catch (...) {
    }
}

std::wstring default_log_path()
{
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    std::wstring path(folder, length <= MAX_PATH ? length : 0);
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    return path + L"fennimark_patch8.log";
}

}  // namespace fennimark::runtime
