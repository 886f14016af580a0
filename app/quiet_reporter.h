#pragma once
// The installation's outcomes in quiet mode: no window, no box; what a box would have said goes
// to the log word for word, and a question gets the answer given when nobody can be asked.

#include "runtime/reporter.h"

namespace fennimark {

namespace runtime {
class LogFile;
}

class QuietReporter : public runtime::Reporter {
public:
    // `log` may be null when no log could be opened: the exit code is then all that tells.
    explicit QuietReporter(runtime::LogFile* log) noexcept : log_(log) {}

    int tell(const runtime::MessageBoxRequest& message) override;
    void note(const std::wstring& step) override;
    void clear_printed_output() override {}

private:
    runtime::LogFile* log_;
};

}  // namespace fennimark
