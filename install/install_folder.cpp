#include "install/install_folder.h"

#include "runtime/error_report.h"
#include "runtime/message_box.h"
#include "runtime/program_end.h"
#include "runtime/reporter.h"
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

bool is_absolute_folder(const std::wstring& folder)
{
    const auto is_letter = [](wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); };
    if (folder.size() >= 3 && is_letter(folder[0]) && folder[1] == L':' && folder[2] == L'\\')
        return true;
    if (folder.rfind(L"\\\\", 0) != 0)
        return false;
    // \\server\share\: a server and a share, each at least one character, each ended by a backslash.
    const std::size_t server_end = folder.find(L'\\', 2);
    if (server_end == std::wstring::npos || server_end == 2)
        return false;
    const std::size_t share_end = folder.find(L'\\', server_end + 1);
    return share_end != std::wstring::npos && share_end > server_end + 1;
}

void refuse_missing_catalogue()
{
    runtime::tell(L"Non hai installato il catalogo. La patch non può essere creata", runtime::box_style::critical,
                  runtime::installer_title);
    runtime::end_program(runtime::exit_code::refused);
}

std::wstring install_folder_from_field(const std::wstring& Path)
{
    return repaired_folder_name(runtime::without_last_character(runtime::trim_blanks(Path)));
}

}  // namespace fennimark
