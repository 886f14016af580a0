// Takes a picture of the screen while the installer's first box is up, on a machine where the
// patch goes through, and, when asked, a second one in the middle of a long extraction, with the
// progress bar part-way. Run inside Wine's virtual desktop, which draws the windows' frames.
//   screenshot.exe OUTPUT.png [DURING.png]

#include "tests/e2e/machine.h"
#include "tests/e2e/screen_capture.h"
#include "tests/support/files.h"
#include "tests/support/window_probe.h"

#include "runtime/com.h"

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <thread>

namespace {

// Waits on a thread of its own until the installer's bar stands between a third and two thirds of
// its way, then takes the picture.
bool picture_during_extraction(const wchar_t* output)
{
    fennimark::e2e::Machine machine;
    machine.put_shortcut(fennimark::e2e::Machine::install_folder);
    machine.put_ledger("6         01/02/2020\r\n7         03/04/2021\r\n");
    machine.put_old_catalogue();
    machine.put_patch(L"many.zip");
    std::atomic<bool> taken = false, finished = false;
    std::thread watcher([&] {
        while (!finished && !taken) {
            HWND bar = fennimark::testing::progress_bar_of(FindWindowW(L"FennimarkPatchForm1", nullptr));
            if (bar && IsWindowVisible(bar)) {
                const LRESULT position = SendMessageW(bar, PBM_GETPOS, 0, 0);
                const LRESULT maximum = SendMessageW(bar, PBM_GETRANGE, FALSE, 0);
                if (position * 3 >= maximum && position * 3 <= maximum * 2) {
                    fennimark::testing::write_file(output, fennimark::e2e::screen_as_png());
                    taken = true;
                }
            }
            Sleep(20);
        }
    });
    machine.run_installer();
    finished = true;
    watcher.join();
    return taken;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2 && argc != 3) {
        std::fputs("usage: screenshot OUTPUT.png [DURING.png]\n", stderr);
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
        if (!taken)
            return 1;
        return argc == 3 && !picture_during_extraction(argv[2]) ? 1 : 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "screenshot: %s\n", failure.what());
        return 1;
    }
}
