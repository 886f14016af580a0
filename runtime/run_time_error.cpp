#include "runtime/run_time_error.h"

#include <windows.h>

namespace fennimark::runtime {

std::wstring standard_description(int number)
{
    switch (number) {
    case error::invalid_call: return L"Chiamata di routine o argomento non validi";
    case error::overflow: return L"Overflow";
    case error::type_mismatch: return L"Tipo non corrispondente";
    case error::library_load: return L"Errore durante il caricamento della libreria";
    case error::file_not_found: return L"File non trovato";
    case error::permission_denied: return L"Autorizzazione negata";
    case error::path_file_access: return L"Errore di accesso al percorso o al file";
    case error::path_not_found: return L"Impossibile trovare il percorso";
    case error::cannot_create_object: return L"Impossibile creare l'oggetto";
    case error::entry_not_found: return L"Impossibile trovare il punto di ingresso nella libreria";
    default: return L"Errore definito dall'applicazione o dall'oggetto";
    }
}

RunTimeError::RunTimeError(int number, std::wstring subject)
    : RunTimeError(number, standard_description(number), std::move(subject))
{
}

RunTimeError::RunTimeError(int number, std::wstring description, std::wstring subject)
    : number_(number), description_(std::move(description)), subject_(std::move(subject)),
      what_("run-time error " + std::to_string(number))
{
}

void raise(int number, std::wstring subject)
{
    throw RunTimeError(number, std::move(subject));
}

int error_number_for_win32(unsigned long win32_code) noexcept
{
    switch (win32_code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_MOD_NOT_FOUND:
        return error::file_not_found;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_CURRENT_DIRECTORY:
    case ERROR_DIR_NOT_EMPTY:
        return error::permission_denied;
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_DLL_INIT_FAILED:
    case ERROR_INVALID_DLL:
        return error::library_load;
    case ERROR_PROC_NOT_FOUND:
        return error::entry_not_found;
    default:
        return error::path_file_access;
    }
}

void raise_win32(unsigned long win32_code, std::wstring subject)
{
    raise(error_number_for_win32(win32_code), std::move(subject));
}

}  // namespace fennimark::runtime
