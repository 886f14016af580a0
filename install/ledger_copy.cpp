#include "install/ledger_copy.h"

#include "runtime/files.h"
#include "runtime/text_file.h"

namespace fennimark {

std::wstring saved_ledger_path(const std::wstring& ledger, std::int16_t versione)
{
    return ledger + L" - copia prima della patch " + std::to_wstring(versione);
}

void save_ledger_copy(const std::wstring& ledger, std::int16_t versione)
{
    runtime::write_file_bytes(saved_ledger_path(ledger, versione), runtime::read_file_bytes(ledger));
}

void restore_ledger_copy(const std::wstring& ledger, std::int16_t versione)
{
    runtime::replace_file(saved_ledger_path(ledger, versione), ledger);
}

void undo_ledger_append(const std::wstring& ledger, std::int16_t versione)
{
    if (runtime::read_file_bytes(ledger) == runtime::read_file_bytes(saved_ledger_path(ledger, versione)))
        discard_ledger_copy(ledger, versione);
    else
        restore_ledger_copy(ledger, versione);
}

void discard_ledger_copy(const std::wstring& ledger, std::int16_t versione)
{
    runtime::delete_file(saved_ledger_path(ledger, versione));
}

bool ledger_copy_exists(const std::wstring& ledger, std::int16_t versione)
{
    return runtime::file_exists(saved_ledger_path(ledger, versione));
}

}  // namespace fennimark
