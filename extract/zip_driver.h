#pragma once
// The extraction driver: one archive into one folder through the archive library unzip32.dll,
// which is loaded by name at the first call and stays loaded.

#include <cstdint>
#include <string>

namespace fennimark::zip {

// Extracts `nome_zip` into `cartella` and leaves the library's status in codice_ritorno. The four
// flags go into the option record widened with their sign; the counts go to the library as they
// are, beside the name lists. Raises a run-time error, with codice_ritorno unchanged, when the
// library cannot be loaded or lacks an entry.
void estrai_archivio(const std::wstring& nome_zip, const std::wstring& cartella,
                     const std::int16_t& avviso_sovrascrittura, const std::int16_t& sovrascrivi_sempre,
                     const std::int16_t& solo_elenco, const std::int16_t& crea_cartelle,
                     const std::int32_t& numero_inclusi, const std::int32_t& numero_esclusi);

}  // namespace fennimark::zip
