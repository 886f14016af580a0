// The installer's extraction on Windows: the installer's own driver (it loads unzip32.dll by name,
// the copy beside this program, and calls it with the installer's options and callbacks), timed
// inside the process so that the start of the program (Wine's, here) is not counted.
//
//   unzip32_bench_windows_driver ARCHIVE FOLDER
//
// Prints "seconds S status N"; exits 0 only when the status is 0.

#include "extract/zip_driver.h"
#include "extract/zip_reset.h"
#include "extract/zip_state.h"
#include "runtime/code_page.h"
#include "runtime/run_time_error.h"

#include <windows.h>

#include <cstdio>

using namespace fennimark;

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ARCHIVE FOLDER\n", argv[0]);
        return 2;
    }
    LARGE_INTEGER frequency, started, ended;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&started);
    try {
        zip::reset_extraction_state({});
        // As the installer calls it: replacing without asking, folders kept, no name lists.
        zip::estrai_archivio(runtime::from_ansi(argv[1]), runtime::from_ansi(argv[2]), 1, 1, 0, 1, 0, 0);
    } catch (const runtime::RunTimeError& error) {
        std::fprintf(stderr, "run-time error %d\n", error.number());
        return 2;
    }
    QueryPerformanceCounter(&ended);
    std::printf("seconds %.4f status %d\n",
                static_cast<double>(ended.QuadPart - started.QuadPart) / static_cast<double>(frequency.QuadPart),
                static_cast<int>(zip::codice_ritorno));
    return zip::codice_ritorno == 0 ? 0 : 1;
}
