#pragma once
// The log an administrator asks for: UTF-8 without a byte-order mark, CR LF line ends, each line
// "YYYY-MM-DD HH:MM:SS text" in local time, always appended to what the file already holds.

#include "runtime/handles.h"

#include <string>

namespace fennimark::runtime {

class LogFile {
public:
    // Opens `path` for appending, creating it when missing. Raises a run-time error when it cannot.
    explicit LogFile(const std::wstring& path);

    // One log line for every line of `text`; empty lines are left out. A log that can no longer be
    // written must not change the installation's outcome, so a failed write is dropped.
    void write(const std::wstring& text) noexcept;

    const std::wstring& path() const noexcept { return path_; }

private:
    std::wstring path_;
    FileHandle file_;
};

// The lines of `text`, split at CR LF, CR or LF, empty lines left out.
std::wstring log_lines(const std::wstring& text, const SYSTEMTIME& time);

// "%TEMP%\fennimark_patch8.log", where quiet mode writes when no log is named.
std::wstring default_log_path();

}  // namespace fennimark::runtime
