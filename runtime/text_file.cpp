#include "runtime/text_file.h"

#include "runtime/code_page.h"
#include "runtime/run_time_error.h"

#include <algorithm>

namespace fennimark::runtime {

namespace {

FileHandle open_or_raise(const std::wstring& path, DWORD access, DWORD disposition)
{
    FileHandle file(CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        raise_win32(GetLastError(), path);
    return file;
}

}  // namespace

std::string read_file_bytes(const std::wstring& path)
{
    FileHandle file = open_or_raise(path, GENERIC_READ, OPEN_EXISTING);
    std::string content;
    char chunk[65536];
    DWORD got = 0;
    for (;;) {
        if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr))
            raise_win32(GetLastError(), path);
        if (got == 0)
            break;
        content.append(chunk, got);
    }
    return content;
}

void write_file_bytes(const std::wstring& path, const std::string& bytes)
{
    FileHandle file = open_or_raise(path, GENERIC_WRITE, CREATE_ALWAYS);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD part = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, part, &written, nullptr))
            raise_win32(GetLastError(), path);
        done += written;
    }
    if (!FlushFileBuffers(file.get()))
        raise_win32(GetLastError(), path);
}

TextFileReader::TextFileReader(const std::wstring& path) : content_(read_file_bytes(path)) {}

std::wstring TextFileReader::read_line()
{
    const std::size_t start = position_;
    std::size_t end = content_.find_first_of("\r\n", start);
    if (end == std::string::npos)
        end = content_.size();
    position_ = end;
    if (position_ < content_.size() && content_[position_] == '\r')
        ++position_;
    if (position_ < content_.size() && content_[position_] == '\n')
        ++position_;
    return from_ansi(std::string_view(content_).substr(start, end - start));
}

TextFileAppender::TextFileAppender(const std::wstring& path)
    : path_(path), file_(open_or_raise(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS))
{
    if (SetFilePointer(file_.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        raise_win32(GetLastError(), path_);
}

bool TextFileAppender::ends_at_line_start()
{
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file_.get(), &size))
        raise_win32(GetLastError(), path_);
    if (size.QuadPart == 0)
        return true;
    LARGE_INTEGER last{};
    last.QuadPart = size.QuadPart - 1;
    char byte = 0;
    DWORD got = 0;
    if (!SetFilePointerEx(file_.get(), last, nullptr, FILE_BEGIN) ||
        !ReadFile(file_.get(), &byte, 1, &got, nullptr) || got != 1)
        raise_win32(GetLastError(), path_);
    return byte == '\n' || byte == '\r';
}

void TextFileAppender::write_raw(const std::string& bytes)
{
    LARGE_INTEGER zero{};
    if (!SetFilePointerEx(file_.get(), zero, nullptr, FILE_END))
        raise_win32(GetLastError(), path_);
    DWORD written = 0;
    if (!WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        raise_win32(GetLastError(), path_);
}

void TextFileAppender::write_line(const std::wstring& text)
{
    write_raw(to_ansi(text) + "\r\n");
}

void TextFileAppender::close()
{
    if (file_ && !FlushFileBuffers(file_.get()))
        raise_win32(GetLastError(), path_);
    file_.reset();
}

}  // namespace fennimark::runtime
