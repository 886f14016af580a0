#pragma once
// The extraction state of the module `zip`: what the driver and its callbacks share with the
// installer. It lives as long as the program.

#include "unzip32/include/unzip32.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace fennimark::zip {

inline constexpr std::size_t name_list_size = 100;
using NameList = std::array<std::wstring, name_list_size>;  // an empty entry travels as no text at all

inline std::int32_t codice_ritorno = 0;    // the library's status from the last extraction
inline std::int32_t numero_file = 0;       // listing lines made since the caller's reset
inline std::uint32_t voci_avviate = 0;     // entries the library has handed out since the caller's reset
inline std::wstring elenco_file;           // the listing: a heading and one 80-column line per file
inline std::wstring registro_messaggi;     // everything the library printed
inline NameList nomi_inclusi;              // entries to take
inline NameList nomi_esclusi;              // entries to leave out
inline std::wstring fine_riga;             // the line break of the listing
// Told each listed entry's whole name, as the library gives it; the listing line keeps only its
// first 50 characters. Empty unless a caller puts a routine here for its listing.
inline std::function<void(const std::wstring&)> osserva_voce;
inline DCL opzioni_zip{};
inline USERFUNCTIONS funzioni_utente{};
inline UzpVer2 versione_dll{};

}  // namespace fennimark::zip
