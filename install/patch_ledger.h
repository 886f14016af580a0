#pragma once
// The patch ledger patch.txt: one line per installed patch, the number in columns 1 to 10 and the
// installation date from column 11 on, in installation order.

#include <cstdint>
#include <string>
#include <vector>

namespace fennimark {

// The number of this patch, which the ledger records.
inline constexpr std::int16_t PATCH_NUMBER = 8;

struct PatchLedgerEntry {
    std::int16_t indice = 0;    // position among the entries, empty lines not counted
    std::wstring numero_patch;  // columns 1 to 10, untrimmed
    std::wstring data_patch;    // columns 11 to 20, untrimmed
};

// What the last ledger check read, one element per entry. Kept until the program ends.
inline std::vector<PatchLedgerEntry> elenco_patch;

// The line that records patch `versione` as installed on `date`.
std::wstring ledger_line(std::int16_t versione, const std::wstring& date);

namespace install {

// Checks the patch ledger `file1` for patch `versione` and records it; ends the program when the
// patch may not be installed.
void controlla_file(const std::wstring& file1, std::int16_t versione);

}  // namespace install

}  // namespace fennimark
