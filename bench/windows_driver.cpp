// The installer's extraction on Windows: the installer's own driver (it loads unzip32.dll by name,
// the copy beside this program, and calls it with the installer's options and callbacks), timed
// inside the process so that the start of the program (Wine's, here) is not counted.
//
//   unzip32_bench_windows_driver ARCHIVE FOLDER [--without-progress]
//
// --without-progress calls the library the same way but leaves the service routine out, to tell
// what following the progress costs.
//
// Prints "seconds S status N"; exits 0 only when the status is 0.

#include "extract/zip_callbacks.h"
#include "extract/zip_driver.h"
#include "extract/zip_reset.h"
#include "extract/zip_state.h"
#include "runtime/code_page.h"
#include "runtime/handles.h"
#include "runtime/run_time_error.h"

#include <windows.h>

#include <array>
#include <cstdio>
#include <cstring>

using namespace fennimark;

namespace {

template <typename Entry>
Entry entry_of(HMODULE library, const char* name)
{
    return reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// The installer's options and callbacks, without the service routine.
bool extract_without_progress(char* archive, char* folder)
{
    const runtime::LibraryHandle library(LoadLibraryA("unzip32.dll"));
    const auto version = library ? entry_of<UzpVersion2Fn>(library.get(), "UzpVersion2") : nullptr;
    const auto unzip = library ? entry_of<Wiz_SingleEntryUnzipFn>(library.get(), "Wiz_SingleEntryUnzip") : nullptr;
    if (!version || !unzip)
        return false;
    zip::opzioni_zip = DCL{};
    zip::opzioni_zip.PromptToOverwrite = 1;
    zip::opzioni_zip.noflag = 1;
    zip::opzioni_zip.ndflag = 1;
    zip::opzioni_zip.lpszZipFN = archive;
    zip::opzioni_zip.lpszExtractDir = folder;
    zip::fill_callbacks();
    zip::funzioni_utente.ServCallBk = nullptr;
    zip::versione_dll = UzpVer2{};
    zip::versione_dll.structlen = sizeof(UzpVer2);
    version(&zip::versione_dll);
    std::array<char*, zip::name_list_size> included{};
    std::array<char*, zip::name_list_size> excluded{};
    zip::codice_ritorno = unzip(0, included.data(), 0, excluded.data(), &zip::opzioni_zip, &zip::funzioni_utente);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool without_progress = argc == 4 && std::strcmp(argv[3], "--without-progress") == 0;
    if (argc != 3 && !without_progress) {
        std::fprintf(stderr, "usage: %s ARCHIVE FOLDER [--without-progress]\n", argv[0]);
        return 2;
    }
    LARGE_INTEGER frequency, started, ended;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&started);
    try {
        zip::reset_extraction_state({});
        if (without_progress) {
            if (!extract_without_progress(argv[1], argv[2])) {
                std::fprintf(stderr, "unzip32.dll cannot be loaded or lacks its entries\n");
                return 2;
            }
        } else {
            // As the installer calls it: replacing without asking, folders kept, no name lists.
            zip::estrai_archivio(runtime::from_ansi(argv[1]), runtime::from_ansi(argv[2]), 1, 1, 0, 1, 0, 0);
        }
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
