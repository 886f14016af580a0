#include "app/window_reporter.h"

#include "app/form1.h"
#include "runtime/events.h"
#include "runtime/log_file.h"

namespace fennimark {

int WindowReporter::tell(const runtime::MessageBoxRequest& message)
{
    if (log_)
        log_->write(message.text);
    // The outcome stands alone: no progress stays beside a box.
    form_.hide_progress();
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

void WindowReporter::progress(std::uint32_t done, std::uint32_t total)
{
    form_.show_progress(done, total);
    // The window repaints and answers the system; closing it stays refused while the work runs.
    runtime::do_events();
}

void WindowReporter::progress_finished()
{
    form_.finish_progress();
    runtime::do_events();
}

void WindowReporter::progress_reset()
{
    form_.reset_progress();
}

void WindowReporter::keep_alive()
{
    runtime::do_events();
}

}  // namespace fennimark
