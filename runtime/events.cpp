#include "runtime/events.h"

#include <windows.h>

namespace fennimark::runtime {

namespace {
std::uint64_t times_run = 0;
}

void do_events()
{
    ++times_run;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Leave it for the main loop, which ends the program with its code.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::uint64_t do_events_count() noexcept
{
    return times_run;
}

}  // namespace fennimark::runtime
