#include "shell/shortcut_reader.h"

#include "runtime/com.h"
#include "runtime/run_time_error.h"

#include <shlobj.h>
#include <shobjidl.h>

namespace fennimark {

namespace {

constexpr DWORD read_mode = STGM_READ;

// A buffer of 255 blanks for the shell to write a field into. The shell's wide routines are used,
// so that a folder named with a character outside the 8-bit code page comes back as it is rather
// than as a look-alike of it.
std::wstring blank_buffer()
{
    return std::wstring(field_text_length, L' ');
}

// The whole buffer is the field text. Windows truncates a long field to 254 characters and a NUL;
// some shells fill all 255 characters instead, so the last one is made the NUL when none came back.
std::wstring field_text_from(std::wstring buffer)
{
    if (buffer.find(L'\0') == std::wstring::npos)
        buffer.back() = L'\0';
    return buffer;
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

    runtime::ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        runtime::raise(runtime::error::cannot_create_object, L"ShellLink");
    runtime::ComPtr<IPersistFile> file;
    if (FAILED(link.query(file)))
        runtime::raise(runtime::error::type_mismatch, L"IPersistFile");

    if (FAILED(file->Load(link_path.c_str(), read_mode)))
        return False;

    // Each text field: blanks first, so a failed read leaves 255 blanks behind.
    auto read_field = [](std::wstring& output, auto&& read) {
        output.assign(field_text_length, L' ');
        std::wstring buffer = blank_buffer();
        if (FAILED(read(buffer.data(), static_cast<int>(field_text_length))))
            return false;
        output = field_text_from(std::move(buffer));
        return true;
    };

    WIN32_FIND_DATAW find_data{};
    if (!read_field(percorso, [&](wchar_t* buffer, int size) {
            return link->GetPath(buffer, size, &find_data, SLGP_UNCPRIORITY);
        }))
        return False;
    if (!read_field(cartella_lavoro,
                    [&](wchar_t* buffer, int size) { return link->GetWorkingDirectory(buffer, size); }))
        return False;
    if (!read_field(argomenti, [&](wchar_t* buffer, int size) { return link->GetArguments(buffer, size); }))
        return False;

    std::wstring description = blank_buffer();
    if (FAILED(link->GetDescription(description.data(), static_cast<int>(field_text_length))))
        return False;
    WORD hot_key = 0;
    if (FAILED(link->GetHotkey(&hot_key)))
        return False;

    int icon_index = indice_icona;
    const bool icon_read = read_field(percorso_icona, [&](wchar_t* buffer, int size) {
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
