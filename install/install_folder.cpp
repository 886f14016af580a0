#include "install/install_folder.h"

#include "runtime/text.h"

namespace fennimark {

std::wstring repaired_folder_name(const std::wstring& folder)
{
    // Some copies of the catalogue's installer wrote the shortcut with the separator between the
    // product folder and "progetto_html" missing.
    if (runtime::to_lower(folder).find(L"fennimarkprogetto_html") == std::wstring::npos)
        return folder;
    return runtime::replace_all(folder, L"progetto_html", L"\\progetto_html");
}

std::wstring install_folder_from_field(const std::wstring& Path)
{
    return repaired_folder_name(runtime::without_last_character(runtime::trim_blanks(Path)));
}

}  // namespace fennimark
