#include "install/catalogue_replacement.h"

#include "extract/zip_driver.h"
#include "extract/zip_reset.h"
#include "extract/zip_state.h"
#include "install/catalogue_entries.h"
#include "install/catalogue_swap.h"
#include "install/install_folder.h"
#include "install/ledger_copy.h"
#include "install/patch_ledger.h"
#include "runtime/ansi_path.h"
#include "runtime/files.h"
#include "runtime/error_report.h"
#include "runtime/program_end.h"
#include "runtime/program_folder.h"
#include "runtime/reporter.h"

namespace fennimark::install {

namespace {

// The partial catalogue is removed and the old one put back, with the window kept alive and its
// progress shown from nothing again.
void roll_back(CatalogueSwap& swap)
{
    runtime::reporter().progress_reset();
    runtime::reporter().keep_alive();
    swap.roll_back();
    runtime::reporter().keep_alive();
}

[[noreturn]] void report_failed_extraction(std::int32_t status)
{
    runtime::tell(L"Aggiornamento del catalogo non riuscito (codice " + std::to_wstring(status) +
                      L"). Il catalogo precedente è stato ripristinato.",
                  runtime::box_style::critical, runtime::installer_title);
    runtime::end_program(runtime::exit_code::extraction_failed);
}

// The library's status, then every message it printed, one log line each.
void note_extraction(const std::wstring& archive, const std::wstring& install_folder)
{
    runtime::note(L"Estrazione di " + archive + L" in " + install_folder + L": codice " +
                  std::to_wstring(zip::codice_ritorno));
    runtime::note(zip::registro_messaggi);
}

// The archive listed before anything of the catalogue is touched; an archive that is not the
// catalogue alone, or cannot be listed, gives the ledger back its bytes and ends the program.
void check_archive_before_replacing(const std::wstring& archive, const std::wstring& folder,
                                    const std::wstring& ledger)
{
    std::int32_t status = 0;
    try {
        status = list_catalogue_archive(archive, folder);
    } catch (...) {
        restore_ledger_copy(ledger, PATCH_NUMBER);
        throw;
    }
    if (status != 0) {
        runtime::note(L"Controllo di " + archive + L" prima di toccare il catalogo: codice " + std::to_wstring(status));
        runtime::note(zip::registro_messaggi);
        restore_ledger_copy(ledger, PATCH_NUMBER);
        report_failed_extraction(status);
    }
}

}  // namespace

void correzione_path(const std::wstring& Path)
{
    const std::wstring install_folder = install_folder_from_field(Path);
    runtime::note(L"Cartella di installazione dal collegamento: " + install_folder);
    replace_catalogue(install_folder);
}

void replace_catalogue(const std::wstring& install_folder)
{
    if (!is_absolute_folder(install_folder))
        refuse_missing_catalogue();
    // The library's 8-bit interface gets each path in a form that names the same place.
    const std::wstring library_folder = runtime::path_for_ansi_interface(install_folder);
    const std::wstring library_archive =
        runtime::path_for_ansi_interface(runtime::program_folder()) + L"\\catalogo.zip";

    CatalogueSwap swap(install_folder, PATCH_NUMBER);
    swap.recover_interrupted_run();

    const std::wstring ledger = install_folder + L"\\patch.txt";
    controlla_file(ledger, PATCH_NUMBER);
    check_archive_before_replacing(library_archive, library_folder, ledger);
    swap.move_old_catalogue_aside();
    runtime::note(swap.moved_aside() ? L"Catalogo precedente spostato in " + swap.aside_folder()
                                     : L"Nessun catalogo precedente in " + install_folder);

    zip::reset_extraction_state([] { runtime::reporter().clear_printed_output(); });

    const std::wstring archive = runtime::program_folder() + L"\\catalogo.zip";
    const std::int16_t ask_before_overwriting = 1, overwrite = 1, list_only = 0, keep_folders = 1;
    const std::int32_t included = 0, excluded = 0;
    try {
        zip::estrai_archivio(library_archive, library_folder, ask_before_overwriting, overwrite, list_only,
                             keep_folders, included, excluded);
    } catch (...) {
        runtime::reporter().progress_finished();
        roll_back(swap);
        throw;
    }
    runtime::reporter().progress_finished();
    note_extraction(archive, install_folder);

    if (zip::codice_ritorno != 0) {
        roll_back(swap);
        report_failed_extraction(zip::codice_ritorno);
    }
    runtime::reporter().keep_alive();
    swap.commit();
    runtime::reporter().keep_alive();
    runtime::delete_file(archive);
}

}  // namespace fennimark::install
