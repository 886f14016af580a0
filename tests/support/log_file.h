#pragma once
// Reading back the installer's log.

#include <string>
#include <vector>

namespace fennimark::testing {

// The texts of the log's lines, the timestamps taken off. Throws std::runtime_error naming the
// first line that is not "YYYY-MM-DD HH:MM:SS text" ended by CR LF, or a byte-order mark, or bytes
// that are not UTF-8.
std::vector<std::wstring> log_texts(const std::string& bytes);

}  // namespace fennimark::testing
