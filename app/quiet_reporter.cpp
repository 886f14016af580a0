#include "app/quiet_reporter.h"

#include "runtime/log_file.h"

namespace fennimark {

int QuietReporter::tell(const runtime::MessageBoxRequest& message)
{
    note(message.text);
    // The only question is whether to overwrite an existing file of the catalogue: all of them are
    // replaced, as when no box can be shown.
    if (message.style == runtime::box_style::yes_no_cancel) {
        note(L"Risposta data senza chiedere: sì, sostituisci tutti.");
        return runtime::box_answer::yes;
    }
    return runtime::box_answer::ok;
}

void QuietReporter::note(const std::wstring& step)
{
    if (log_)
        log_->write(step);
}

}  // namespace fennimark
