#pragma once
// Sequential text files in the system's 8-bit code page: read line by line, or appended to.

#include "runtime/handles.h"

#include <cstddef>
#include <string>

namespace fennimark::runtime {

// Reads the whole file when opened and hands it out a line at a time. A line ends at CR LF, a
// lone CR or a lone LF; a last line without an end is a line all the same.
class TextFileReader {
public:
    explicit TextFileReader(const std::wstring& path);

    bool at_end() const noexcept { return position_ >= content_.size(); }
    std::wstring read_line();
    void close() noexcept { content_.clear(); position_ = 0; }

private:
    std::string content_;
    std::size_t position_ = 0;
};

// Opens an existing or new file for writing at its end.
class TextFileAppender {
public:
    explicit TextFileAppender(const std::wstring& path);

    // Whether the file is empty or its last byte ends a line.
    bool ends_at_line_start();
    // Writes the text followed by CR LF.
    void write_line(const std::wstring& text);
    void write_raw(const std::string& bytes);
    void close();

private:
    std::wstring path_;
    FileHandle file_;
};

// The whole content of a file, as bytes.
std::string read_file_bytes(const std::wstring& path);
// Creates or replaces a file with these bytes, flushed to the disk before it returns.
void write_file_bytes(const std::wstring& path, const std::string& bytes);

}  // namespace fennimark::runtime
