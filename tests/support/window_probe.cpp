#include "tests/support/window_probe.h"

#include <commctrl.h>

namespace fennimark::testing {

HWND progress_bar_of(HWND window)
{
    return FindWindowExW(window, nullptr, PROGRESS_CLASSW, nullptr);
}

WindowProbe::WindowProbe(std::wstring window_class) : class_(std::move(window_class)), thread_([this] { poll(); }) {}

WindowProbe::~WindowProbe()
{
    stop();
}

ProbeFindings WindowProbe::stop()
{
    stopping_ = true;
    if (thread_.joinable())
        thread_.join();
    return findings_;
}

void WindowProbe::poll()
{
    while (!stopping_) {
        HWND window = FindWindowW(class_.c_str(), nullptr);
        if (window) {
            const ULONGLONG sent = GetTickCount64();
            DWORD_PTR result = 0;
            if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) || IsWindow(window)) {
                findings_.longest_answer_ms =
                    std::max<DWORD>(findings_.longest_answer_ms, static_cast<DWORD>(GetTickCount64() - sent));
                ++findings_.answers;
            }
            if (HWND bar = progress_bar_of(window)) {
                const int position = static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0));
                findings_.bar_maximum = static_cast<int>(SendMessageW(bar, PBM_GETRANGE, FALSE, 0));
                if (findings_.bar_positions.empty() || findings_.bar_positions.back() != position)
                    findings_.bar_positions.push_back(position);
            }
        }
        Sleep(20);
    }
}

}  // namespace fennimark::testing
