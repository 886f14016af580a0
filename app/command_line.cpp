#include "app/command_line.h"

#include "runtime/handles.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cwctype>

namespace fennimark {

namespace {

const wchar_t usage[] =
    L"Uso: fennimark_patch.exe [/quiet] [/log <file>] [/installdir <cartella>] [/?]\r\n"
    L"/quiet: nessuna finestra e nessun messaggio; tutto va nel registro "
    L"(senza /log: %TEMP%\\fennimark_patch8.log)\r\n"
    L"/log <file>: aggiunge al file (UTF-8) una riga per ogni passo\r\n"
    L"/installdir <cartella>: installa in questa cartella invece di quella del collegamento nel menu Start\r\n"
    L"/?: mostra questo aiuto";

const wchar_t exit_codes[] =
    L"Codici di uscita:\r\n"
    L"0: patch installata\r\n"
    L"1: installazione rifiutata\r\n"
    L"2: errore di run-time\r\n"
    L"3: estrazione non riuscita, catalogo precedente ripristinato\r\n"
    L"4: riga di comando non valida";

std::wstring lower(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    return text;
}

bool is_switch(const std::wstring& argument)
{
    return argument.size() > 1 && (argument[0] == L'/' || argument[0] == L'-');
}

std::wstring quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

bool is_absolute(const std::wstring& path)
{
    const bool drive = path.size() >= 3 && std::iswalpha(path[0]) && path[1] == L':' &&
                       (path[2] == L'\\' || path[2] == L'/');
    const bool network = path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\' &&
                         path[2] != L'?' && path[2] != L'.';
    return drive || network;
}

// A drive's root or a share's, which keeps its backslash: "C:" alone means the drive's current
// folder.
bool is_root(const std::wstring& path)
{
    if (path.size() == 3 && path[1] == L':')
        return true;
    const std::size_t server_end = path.find(L'\\', 2);
    return path.rfind(L"\\\\", 0) == 0 && server_end != std::wstring::npos &&
           path.find(L'\\', server_end + 1) == path.size() - 1;
}

// The folder's whole path without a separator at its end (the paths of the installation join
// names to it with one) unless it is a root, or nothing when it is not an existing folder given by
// a whole path.
std::optional<std::wstring> absolute_folder(const std::wstring& given)
{
    if (!is_absolute(given))
        return std::nullopt;
    std::wstring full(MAX_PATH, L'\0');
    DWORD length = GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length = GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (length == 0 || length >= full.size())
        return std::nullopt;
    full.resize(length);
    const DWORD attributes = GetFileAttributesW(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    while (full.size() > 1 && full.back() == L'\\' && !is_root(full))
        full.pop_back();
    return full;
}

}  // namespace

CommandLine read_command_line(const std::vector<std::wstring>& arguments)
{
    CommandLine command;
    bool seen_log = false, seen_folder = false;
    auto problem = [&](std::wstring text) {
        if (command.problem.empty())
            command.problem = std::move(text);
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (!is_switch(argument)) {
            problem(L"Argomento non previsto: " + quoted(argument) + L".");
            continue;
        }
        const std::wstring name = lower(argument.substr(1));
        bool* seen = nullptr;
        bool repeated = false;
        if (name == L"quiet") {
            repeated = command.quiet;
            command.quiet = true;
        } else if (name == L"?") {
            repeated = command.help;
            command.help = true;
        } else if (name == L"log" || name == L"installdir") {
            seen = name == L"log" ? &seen_log : &seen_folder;
            repeated = *seen;
            *seen = true;
        } else {
            problem(L"Opzione sconosciuta: " + quoted(argument) + L".");
            continue;
        }
        if (repeated)
            problem(L"Opzione ripetuta: " + quoted(argument) + L".");
        if (!seen)
            continue;
        if (i + 1 >= arguments.size() || arguments[i + 1].empty() || is_switch(arguments[i + 1])) {
            problem(L"Manca il valore dell'opzione " + quoted(argument) + L".");
            continue;
        }
        const std::wstring& value = arguments[++i];
        if (name == L"log") {
            if (!repeated)
                command.log = value;
        } else if (auto folder = absolute_folder(value)) {
            if (!repeated)
                command.install_folder = std::move(*folder);
        } else {
            problem(L"La cartella " + quoted(value) +
                    L" indicata con /installdir non è una cartella esistente indicata con il percorso completo.");
        }
    }
    return command;
}

std::vector<std::wstring> program_arguments()
{
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    if (!words)
        return arguments;
    for (int i = 1; i < count; ++i)
        arguments.emplace_back(words[i]);
    LocalFree(words);
    return arguments;
}

std::wstring help_text()
{
    return std::wstring(usage) + L"\r\n\r\n" + exit_codes;
}

std::wstring command_line_error_text(const std::wstring& problem)
{
    return L"Riga di comando non valida. " + problem + L"\r\n\r\n" + usage;
}

}  // namespace fennimark
