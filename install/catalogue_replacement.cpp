#include "install/catalogue_replacement.h"

#include "extract/zip_driver.h"
#include "extract/zip_reset.h"
#include "extract/zip_state.h"
#include "install/catalogue_swap.h"
#include "install/install_folder.h"
#include "install/patch_ledger.h"
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

}  // namespace

void correzione_path(const std::wstring& Path)
{
    replace_catalogue(install_folder_from_field(Path));
}

void replace_catalogue(const std::wstring& install_folder)
{
    CatalogueSwap swap(install_folder, PATCH_NUMBER);
    swap.recover_interrupted_run();

    controlla_file(install_folder + L"\\patch.txt", PATCH_NUMBER);
    swap.move_old_catalogue_aside();

    zip::reset_extraction_state([] { runtime::reporter().clear_printed_output(); });

    const std::wstring archive = runtime::program_folder() + L"\\catalogo.zip";
    const std::int16_t ask_before_overwriting = 1, overwrite = 1, list_only = 0, keep_folders = 1;
    const std::int32_t included = 0, excluded = 0;
    try {
        zip::estrai_archivio(archive, install_folder, ask_before_overwriting, overwrite, list_only, keep_folders,
                             included, excluded);
    } catch (...) {
        runtime::reporter().progress_finished();
        roll_back(swap);
        throw;
    }
    runtime::reporter().progress_finished();

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
