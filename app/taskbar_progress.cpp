#include "app/taskbar_progress.h"

namespace fennimark {

ITaskbarList3* TaskbarProgress::taskbar() noexcept
{
    if (!tried_) {
        tried_ = true;
        if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                    taskbar_.put_void())) ||
            FAILED(taskbar_->HrInit()))
            taskbar_.reset();
    }
    return taskbar_.get();
}

void TaskbarProgress::show(std::uint32_t done, std::uint32_t total) noexcept
{
    if (ITaskbarList3* button = taskbar())
        button->SetProgressValue(window_, done, total);
}

void TaskbarProgress::hide() noexcept
{
    // Nothing to take away when the button never showed any progress.
    if (taskbar_)
        taskbar_->SetProgressState(window_, TBPF_NOPROGRESS);
}

}  // namespace fennimark
