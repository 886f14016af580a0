#include "app/window_reporter.h"

#include "app/form1.h"
#include "runtime/log_file.h"

namespace fennimark {

int WindowReporter::tell(const runtime::MessageBoxRequest& message)
{
    if (log_)
        log_->write(message.text);
    return runtime::message_box(message.text, message.style, message.title);
}

void WindowReporter::note(const std::wstring& step)
{
    if (log_)
        log_->write(step);
}

void WindowReporter::clear_printed_output()
{
    form_.Cls();
}

}  // namespace fennimark
