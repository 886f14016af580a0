#include "app/form1.h"
#include "extract/zip_driver.h"
#include "extract/zip_state.h"
#include "install/install_folder.h"
#include "runtime/automation.h"
#include "runtime/files.h"
#include "runtime/program_folder.h"

namespace fennimark {

namespace {

// Removes the folder with everything in it, as the system's script object does; read-only items
// are not forced, so they make the removal fail.
void delete_folder_tree(const std::wstring& folder)
{
    auto file_system = runtime::AutomationObject::create(L"Scripting.FileSystemObject");
    file_system.call(L"DeleteFolder", folder);
}

void reset_extraction_state(Form1& form)
{
    zip::fine_riga = L"\r\n";
    form.Cls();
    zip::registro_messaggi.clear();
    zip::numero_file = 0;
    zip::nomi_inclusi[0].clear();
    zip::nomi_esclusi[0].clear();
}

}  // namespace

void Form1::correzione_path(const std::wstring& Path)
{
    const std::wstring install_folder = install_folder_from_field(Path);

    controlla_file(install_folder + L"\\patch.txt", PATCH_NUMBER);

    const std::wstring catalogue_folder = install_folder + L"\\catalogo";
    if (runtime::folder_exists(catalogue_folder))
        delete_folder_tree(catalogue_folder);

    reset_extraction_state(*this);

    const std::wstring archive = runtime::program_folder() + L"\\catalogo.zip";
    const std::int16_t ask_before_overwriting = 1, overwrite = 1, list_only = 0, keep_folders = 1;
    const std::int32_t included = 0, excluded = 0;
    zip::estrai_archivio(archive, install_folder, ask_before_overwriting, overwrite, list_only, keep_folders,
                         included, excluded);

    if (zip::codice_ritorno == 0)
        runtime::delete_file(archive);
}

}  // namespace fennimark
