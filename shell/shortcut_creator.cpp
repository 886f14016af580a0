// Creating a Start-menu shortcut through a setup-toolkit library. The toolkit comes in three
// versions, each its own file with the same entry `fCreateShellLink`; the caller names one or asks
// for whichever is present.

#include "shell/shortcut_creator.h"

#include "runtime/code_page.h"
#include "runtime/handles.h"

#include <windows.h>

#include <array>
#include <optional>
#include <string>

namespace fennimark::shell {

namespace {

// 0 asks for the probe; it is also what a probe that finds nothing leaves.
constexpr std::int32_t no_toolkit = 0;

struct Toolkit {
    std::int32_t numero;
    const char* probe_name;  // loaded without extension when probing
    const char* file_name;   // loaded by this name when called
    bool takes_parent;       // the newest version also takes a flag and the parent folder
};

// In probing order: the last one that loads wins.
constexpr std::array<Toolkit, 3> toolkits{{
    {4, "STKIT432", "STKIT432.DLL", false},
    {5, "VB5STKIT", "VB5STKIT.DLL", false},
    {6, "VB6STKIT", "VB6STKIT.DLL", true},
}};

constexpr char entry_name[] = "fCreateShellLink";
constexpr std::int32_t private_link_flag = -1;
constexpr char parent_folder[] = "$(Programs)";

// Folder, link name, target path, arguments.
using CreateShellLink = std::int32_t(WINAPI*)(char*, char*, char*, char*);
// The same, then the flag and the parent folder.
using CreateShellLinkWithParent = std::int32_t(WINAPI*)(char*, char*, char*, char*, std::int32_t, char*);

// While a library loads: one that is missing or broken must fail quietly, without the system's
// own error box.
class QuietLoaderErrors {
public:
    QuietLoaderErrors() noexcept
        : restore_(SetThreadErrorMode(GetThreadErrorMode() | SEM_FAILCRITICALERRORS, &previous_) != FALSE)
    {
    }
    ~QuietLoaderErrors()
    {
        if (restore_)
            SetThreadErrorMode(previous_, nullptr);
    }
    QuietLoaderErrors(const QuietLoaderErrors&) = delete;
    QuietLoaderErrors& operator=(const QuietLoaderErrors&) = delete;

private:
    DWORD previous_ = 0;
    bool restore_;
};

HMODULE load_quietly(const char* name)
{
    const QuietLoaderErrors quiet;
    return LoadLibraryA(name);
}

const Toolkit* toolkit_numbered(std::int32_t numero)
{
    for (const Toolkit& toolkit : toolkits)
        if (toolkit.numero == numero)
            return &toolkit;
    return nullptr;
}

// Loads the library and lets it go at once. The release is made with whatever came back, even a
// null handle, which the system simply refuses.
bool library_loads(const char* name)
{
    const HMODULE handle = load_quietly(name);
    FreeLibrary(handle);
    return handle != nullptr;
}

std::int32_t probe_toolkits()
{
    std::int32_t found = no_toolkit;
    for (const Toolkit& toolkit : toolkits)
        if (library_loads(toolkit.probe_name))
            found = toolkit.numero;
    return found;
}

// The text as the library's 8-bit interface receives it, or nothing when the library could not
// receive it unchanged: a character the code page lacks would arrive as '?' or as a look-alike
// (a different folder or file), and a NUL would cut the text short.
std::optional<std::string> exact_ansi(const std::wstring& text)
{
    std::string bytes = runtime::to_ansi(text);
    if (bytes.find('\0') != std::string::npos || runtime::from_ansi(bytes) != text)
        return std::nullopt;
    return bytes;
}

template <typename Function>
Function entry_as(FARPROC entry)
{
    // Through the generic function type, which the compiler accepts for any signature.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(entry));
}

// Binds the toolkit's library by its file name now, calls its entry and releases it. 0 when the
// library or its entry is missing.
std::int32_t call_toolkit(const Toolkit& toolkit, std::string cartella, std::string nome, std::string percorso)
{
    std::string argomenti;
    std::string genitore = parent_folder;

    const runtime::LibraryHandle library(load_quietly(toolkit.file_name));
    if (!library)
        return 0;
    const FARPROC entry = GetProcAddress(library.get(), entry_name);
    if (entry == nullptr)
        return 0;

    if (toolkit.takes_parent)
        return entry_as<CreateShellLinkWithParent>(entry)(cartella.data(), nome.data(), percorso.data(),
                                                         argomenti.data(), private_link_flag, genitore.data());
    return entry_as<CreateShellLink>(entry)(cartella.data(), nome.data(), percorso.data(), argomenti.data());
}

std::int32_t create_shortcut(std::int32_t numero_kit, const std::wstring& testo1, const std::wstring& testo2,
                             const std::wstring& testo3)
{
    if (numero_kit == no_toolkit)
        numero_kit = probe_toolkits();

    const Toolkit* toolkit = toolkit_numbered(numero_kit);
    if (toolkit == nullptr)
        return 0;

    std::optional<std::string> cartella = exact_ansi(testo1);
    std::optional<std::string> nome = exact_ansi(testo2);
    std::optional<std::string> percorso = exact_ansi(testo3);
    if (!cartella || !nome || !percorso)
        return 0;
    return call_toolkit(*toolkit, std::move(*cartella), std::move(*nome), std::move(*percorso));
}

}  // namespace

truth crea_collegamento(std::int32_t numero_kit, std::wstring testo1, std::wstring testo2, std::wstring testo3)
{
    // A failure of any kind is only a shortcut not made: False, and nothing shown.
    try {
        return create_shortcut(numero_kit, testo1, testo2, testo3) != 0 ? True : False;
    } catch (...) {
        return False;
    }
}

}  // namespace fennimark::shell
