// The patch installer's entry point: it only creates the window, which does the work when it
// becomes active, and runs the window's events until the window closes.

#include "app/form1.h"
#include "app/window_reporter.h"
#include "runtime/com.h"
#include "runtime/program_end.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    fennimark::runtime::ComApartment apartment;
    fennimark::Form1 form;
    fennimark::WindowReporter reporter(form, nullptr);
    const fennimark::runtime::ScopedReporter reporting(reporter);
    const int start = fennimark::runtime::run_guarded([&] {
        form.create(instance);
        form.set_quit_on_destroy(true);
        form.show();
    });
    if (start != fennimark::runtime::still_running)
        return start;

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return form.exit_code();
}
