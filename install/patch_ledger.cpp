#include "install/patch_ledger.h"

#include "install/ledger_copy.h"
#include "runtime/directory_search.h"
#include "runtime/error_report.h"
#include "runtime/events.h"
#include "runtime/files.h"
#include "runtime/reporter.h"
#include "runtime/program_end.h"
#include "runtime/short_date.h"
#include "runtime/text.h"
#include "runtime/text_file.h"

namespace fennimark {

namespace {

constexpr std::size_t number_columns = 10;
constexpr std::size_t date_columns = 10;

[[noreturn]] void refuse(const std::wstring& message)
{
    runtime::tell(message, runtime::box_style::information, runtime::installer_title);
    runtime::end_program(runtime::exit_code::refused);
}

std::wstring missing_predecessor_message(std::int16_t versione)
{
    return L"Non puoi installare questa patch perché devi prima installare la patch n. " +
           std::to_wstring(versione - 1);
}

std::int16_t patch_number_of(const PatchLedgerEntry& entry)
{
    return runtime::to_int16(runtime::trim_blanks(entry.numero_patch));
}

// Reads every entry into elenco_patch and returns how many there are.
std::int16_t read_entries(const std::wstring& file1)
{
    runtime::TextFileReader ledger(file1);
    std::int16_t count = 0;
    while (!ledger.at_end()) {
        const std::wstring line = ledger.read_line();
        runtime::do_events();
        if (line.empty())
            continue;
        elenco_patch.resize(static_cast<std::size_t>(count) + 1);
        PatchLedgerEntry& entry = elenco_patch[static_cast<std::size_t>(count)];
        entry.indice = count;
        entry.numero_patch = line.substr(0, number_columns);
        entry.data_patch = line.size() > number_columns ? line.substr(number_columns, date_columns) : L"";
        if (count == INT16_MAX)
            runtime::raise(runtime::error::overflow, file1);
        ++count;
    }
    ledger.close();
    return count;
}

void append_entry(const std::wstring& file1, const std::wstring& line)
{
    runtime::TextFileAppender ledger(file1);
    // A ledger edited by hand may lack the last line end; the entry must not be glued onto it.
    if (!ledger.ends_at_line_start())
        ledger.write_raw("\r\n");
    ledger.write_line(line);
    ledger.close();
}

}  // namespace

std::wstring ledger_line(std::int16_t versione, const std::wstring& date)
{
    return runtime::padded_right(std::to_wstring(versione), number_columns) + date;
}

void install::controlla_file(const std::wstring& file1, std::int16_t versione)
{
    if (runtime::find_first_entry(file1, runtime::attribute::normal).empty())
        refuse(missing_predecessor_message(versione));

    const std::int16_t count = read_entries(file1);
    if (count == 0) {
        runtime::tell(missing_predecessor_message(versione), runtime::box_style::information,
                      runtime::installer_title);
        runtime::delete_file(file1);
        runtime::end_program(runtime::exit_code::refused);
    }

    for (std::int16_t index = 0; index < count; ++index) {
        const PatchLedgerEntry& entry = elenco_patch[static_cast<std::size_t>(index)];
        if (patch_number_of(entry) == versione)
            refuse(L"Hai già installato questa patch in data " + runtime::trim_blanks(entry.data_patch));
    }

    if (patch_number_of(elenco_patch[static_cast<std::size_t>(count - 1)]) < versione - 1)
        refuse(missing_predecessor_message(versione));

    const std::wstring line = ledger_line(versione, runtime::short_date_today());
    // The previous bytes are kept until the catalogue is replaced, so that a failure can withdraw
    // the line again.
    save_ledger_copy(file1, versione);
    try {
        append_entry(file1, line);
    } catch (...) {
        undo_ledger_append(file1, versione);
        throw;
    }
    runtime::note(L"Registro " + file1 + L": la patch " + std::to_wstring(versione) +
                  L" può essere installata, aggiunta la riga \"" + line + L"\"");
}

}  // namespace fennimark
