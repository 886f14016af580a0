#include "tests/support/log_file.h"

#include <windows.h>

#include <cctype>
#include <stdexcept>

namespace fennimark::testing {

namespace {

std::wstring from_utf8(const std::string& bytes)
{
    if (bytes.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                         nullptr, 0);
    if (size <= 0)
        throw std::runtime_error("log line not in UTF-8: " + bytes);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
    return text;
}

bool has_timestamp(const std::string& line)
{
    static const char form[] = "0000-00-00 00:00:00 ";
    if (line.size() <= sizeof form - 1)
        return false;
    for (std::size_t i = 0; i < sizeof form - 1; ++i) {
        const bool digit = form[i] == '0';
        if (digit ? !std::isdigit(static_cast<unsigned char>(line[i])) : line[i] != form[i])
            return false;
    }
    return true;
}

}  // namespace

std::vector<std::wstring> log_texts(const std::string& bytes)
{
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0)
        throw std::runtime_error("the log starts with a byte-order mark");
    std::vector<std::wstring> texts;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos)
            throw std::runtime_error("log line without CR LF: " + bytes.substr(start));
        const std::string line = bytes.substr(start, end - start);
        if (!has_timestamp(line) || line.find_first_of("\r\n") != std::string::npos)
            throw std::runtime_error("malformed log line: " + line);
        texts.push_back(from_utf8(line.substr(20)));
        start = end + 2;
    }
    return texts;
}

}  // namespace fennimark::testing
