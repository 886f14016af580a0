#pragma once
// The same progress on the window's taskbar button, where the shell offers it. Every failure is
// ignored: the button is a courtesy, never a reason to stop the work.

#include "runtime/com.h"

#include <windows.h>
#include <shobjidl.h>

#include <cstdint>

namespace fennimark {

class TaskbarProgress {
public:
    // `window` is the one whose button shows the progress; asked for the shell's object at the
    // first use, in the apartment the program already runs in.
    explicit TaskbarProgress(HWND window) noexcept : window_(window) {}

    void show(std::uint32_t done, std::uint32_t total) noexcept;
    void hide() noexcept;

private:
    ITaskbarList3* taskbar() noexcept;

    HWND window_;
    runtime::ComPtr<ITaskbarList3> taskbar_;
    bool tried_ = false;
};

}  // namespace fennimark
