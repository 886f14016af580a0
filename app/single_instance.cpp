#include "app/single_instance.h"

#include "runtime/error_report.h"
#include "runtime/message_box.h"
#include "runtime/reporter.h"
#include "runtime/program_end.h"
#include "runtime/run_time_error.h"

namespace fennimark {

SingleInstance::SingleInstance()
{
    // Held, not owned, until the process ends: the name's existence is the lock, so a copy that is
    // killed releases it with its last handle.
    mutex_.reset(CreateMutexW(nullptr, FALSE, single_instance_name));
    const DWORD code = GetLastError();
    if (mutex_) {
        first_ = code != ERROR_ALREADY_EXISTS;
        return;
    }
    // The name exists but belongs to a copy started by another user, whose mutex this one may not open.
    if (code == ERROR_ACCESS_DENIED)
        return;
    runtime::raise(runtime::error_number_for_win32(code), single_instance_name);
}

void refuse_second_copy()
{
    runtime::tell(L"L'installazione della patch 8 è già in corso.", runtime::box_style::information,
                  runtime::installer_title);
    runtime::end_program(runtime::exit_code::refused);
}

}  // namespace fennimark
