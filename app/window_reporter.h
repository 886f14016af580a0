#pragma once
// The installation's outcomes as the window shows them: message boxes over the window, and every
// text also in the log when there is one.

#include "runtime/reporter.h"

namespace fennimark {

class Form1;
namespace runtime {
class LogFile;
}

class WindowReporter : public runtime::Reporter {
public:
    WindowReporter(Form1& form, runtime::LogFile* log) noexcept : form_(form), log_(log) {}

    int tell(const runtime::MessageBoxRequest& message) override;
    void note(const std::wstring& step) override;
    void clear_printed_output() override;
    void progress(std::uint32_t done, std::uint32_t total) override;
    void progress_finished() override;
    void progress_reset() override;
    void keep_alive() override;

private:
    Form1& form_;
    runtime::LogFile* log_;
};

}  // namespace fennimark
