// Takes a picture of the screen while the installer's first box is up, on a machine where the
// patch goes through. Run inside Wine's virtual desktop, which draws the windows' frames.
//   screenshot.exe OUTPUT.png

#include "tests/e2e/machine.h"
#include "tests/e2e/screen_capture.h"
#include "tests/support/files.h"

#include "runtime/com.h"

#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fputs("usage: screenshot OUTPUT.png\n", stderr);
        return 2;
    }
    fennimark::runtime::ComApartment apartment;
    try {
        fennimark::e2e::Machine machine;
        machine.put_shortcut(fennimark::e2e::Machine::install_folder);
        machine.put_ledger("6         01/02/2020\r\n7         03/04/2021\r\n");
        machine.put_old_catalogue();
        machine.put_patch();
        bool taken = false;
        machine.run_installer([&](const fennimark::testing::SeenBox& box) {
            if (taken)
                return;
            fennimark::e2e::uncover_window_behind(box.window);
            fennimark::testing::write_file(argv[1], fennimark::e2e::screen_as_png());
            taken = true;
        });
        return taken ? 0 : 1;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "screenshot: %s\n", failure.what());
        return 1;
    }
}
