#include "shell/shortcut_reader.h"

#include "runtime/code_page.h"
#include "runtime/com.h"
#include "runtime/run_time_error.h"

#include <shlobj.h>
#include <shobjidl.h>

namespace fennimark {

namespace {

constexpr DWORD read_mode = STGM_READ;

// A buffer of 255 blanks as the shell's 8-bit routines receive it.
std::string blank_buffer()
{
    return std::string(field_text_length, ' ');
}

// The whole buffer back as text. Windows truncates a long field to 254 characters and a NUL; some
// shells fill all 255 bytes instead, so the last byte is made the NUL when none came back.
std::wstring field_text_from(std::string buffer)
{
    if (buffer.find('\0') == std::string::npos)
        buffer.back() = '\0';
    return runtime::from_ansi(buffer);
}

struct ItemIdList {
    PIDLIST_ABSOLUTE list = nullptr;
    ~ItemIdList() { CoTaskMemFree(list); }
};

}  // namespace

truth leggi_collegamento(const std::wstring& link_path, std::wstring& percorso, std::wstring& cartella_lavoro,
                         std::wstring& argomenti, std::wstring& percorso_icona, std::int32_t& indice_icona,
                         std::int32_t& comando_finestra)
{
    if (link_path.empty())
        return False;

    runtime::ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put_void())))
        runtime::raise(runtime::error::cannot_create_object, L"ShellLink");
    runtime::ComPtr<IPersistFile> file;
    if (FAILED(link.query(file)))
        runtime::raise(runtime::error::type_mismatch, L"IPersistFile");

    if (FAILED(file->Load(link_path.c_str(), read_mode)))
        return False;

    // Each text field: blanks first, so a failed read leaves 255 blanks behind.
    auto read_field = [](std::wstring& output, auto&& read) {
        output.assign(field_text_length, L' ');
        std::string buffer = blank_buffer();
        if (FAILED(read(buffer.data(), static_cast<int>(field_text_length))))
            return false;
        output = field_text_from(std::move(buffer));
        return true;
    };

    WIN32_FIND_DATAA find_data{};
    if (!read_field(percorso, [&](char* buffer, int size) {
            return link->GetPath(buffer, size, &find_data, SLGP_UNCPRIORITY);
        }))
        return False;
    if (!read_field(cartella_lavoro, [&](char* buffer, int size) { return link->GetWorkingDirectory(buffer, size); }))
        return False;
    if (!read_field(argomenti, [&](char* buffer, int size) { return link->GetArguments(buffer, size); }))
        return False;

    std::string description = blank_buffer();
    if (FAILED(link->GetDescription(description.data(), static_cast<int>(field_text_length))))
        return False;
    WORD hot_key = 0;
    if (FAILED(link->GetHotkey(&hot_key)))
        return False;

    int icon_index = indice_icona;
    const bool icon_read = read_field(percorso_icona, [&](char* buffer, int size) {
        return link->GetIconLocation(buffer, size, &icon_index);
    });
    indice_icona = icon_index;
    if (!icon_read)
        return False;

    ItemIdList items;
    if (FAILED(link->GetIDList(&items.list)))
        return False;

    int show_command = comando_finestra;
    const HRESULT show_read = link->GetShowCmd(&show_command);
    comando_finestra = show_command;
    return SUCCEEDED(show_read) ? True : False;
}

std::wstring leggi_cartella_lavoro(const std::wstring& link_path)
{
    std::wstring percorso, cartella_lavoro, argomenti, percorso_icona;
    std::int32_t indice_icona = 0, comando_finestra = 0;
    leggi_collegamento(link_path, percorso, cartella_lavoro, argomenti, percorso_icona, indice_icona,
                       comando_finestra);
    return cartella_lavoro;
}

}  // namespace fennimark
