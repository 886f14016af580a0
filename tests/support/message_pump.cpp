#include "tests/support/message_pump.h"

#include <windows.h>

namespace fennimark::testing {

bool pump_messages_until(const std::function<bool()>& done, unsigned timeout_ms)
{
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    while (!done() && GetTickCount64() < deadline) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(5);
    }
    return done();
}

}  // namespace fennimark::testing
