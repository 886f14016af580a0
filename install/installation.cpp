#include "install/installation.h"

#include "install/catalogue_location.h"
#include "install/catalogue_replacement.h"
#include "runtime/code_page.h"
#include "runtime/error_report.h"
#include "runtime/files.h"
#include "runtime/program_end.h"
#include "runtime/program_folder.h"
#include "runtime/reporter.h"
#include "runtime/run_time_error.h"
#include "shell/shortcut_reader.h"

#include <windows.h>

namespace fennimark::install {

namespace {

constexpr unsigned windows_folder_buffer_length = 255;

std::wstring windows_folder()
{
    std::string buffer = runtime::to_ansi(std::wstring(windows_folder_buffer_length, L' '));
    const UINT written = GetWindowsDirectoryA(buffer.data(), windows_folder_buffer_length);
    // A folder longer than the buffer comes back as the length it needs, with nothing written.
    return runtime::from_ansi(buffer).substr(0, written <= windows_folder_buffer_length ? written : 0);
}

[[noreturn]] void finish(const std::wstring& message, unsigned icon, int exit_code)
{
    runtime::tell(message, icon, runtime::installer_title);
    runtime::end_program(exit_code);
}

void copy_library(const std::wstring& from, const std::wstring& to)
{
    runtime::copy_file(from, to);
    runtime::note(L"Libreria copiata: " + from + L" -> " + to);
}

void place_libraries()
{
    const std::wstring windows = windows_folder();
    const std::wstring here = runtime::program_folder();
    copy_library(here + L"\\zip32.dll", windows + L"\\system32\\zip32.dll");
    copy_library(here + L"\\UNZIP32.DLL", windows + L"\\system32\\UNZIP32.DLL");
}

}  // namespace

void install_patch(const InstallationOptions& options)
{
    place_libraries();

    if (options.install_folder) {
        runtime::note(L"Cartella di installazione indicata sulla riga di comando: " + *options.install_folder);
        replace_catalogue(*options.install_folder);
    } else {
        const auto programs = first_with_catalogue(programs_folders_to_search());
        if (!programs)
            finish(L"Non hai installato il catalogo. La patch non può essere creata",
                   runtime::box_style::critical, runtime::exit_code::refused);
        runtime::note(L"Catalogo trovato nel menu Start " + programs->whose + L": " + programs->path +
                      L"\\Fennimark");
        correzione_path(leggi_cartella_lavoro(programs->path + L"\\Fennimark\\Fennimark.lnk"));
    }

    finish(L"Patch installata con successo!", runtime::box_style::information, runtime::exit_code::success);
}

}  // namespace fennimark::install
