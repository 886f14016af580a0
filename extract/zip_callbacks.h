#pragma once
// The routines the archive library calls back while it runs. None of them ever lets an error
// unwind into the library: a step that fails is skipped and the routine carries on.

#include "unzip32/include/unzip32.h"

#include <cstdint>

namespace fennimark::zip {

// Appends what the library prints to registro_messaggi. Always 0.
std::int32_t UZ_CALL ricevi_stampa(char* testo, std::uint32_t lunghezza) noexcept;

// Adds one 80-column line for an entry to elenco_file, after a heading when numero_file is 0.
void UZ_CALL elenca_file(std::uint32_t dimensione, std::uint32_t dimensione_compressa, std::uint32_t fattore,
                         std::uint32_t mese, std::uint32_t giorno, std::uint32_t anno, std::uint32_t ora,
                         std::uint32_t minuto, char segno, char* nome, char* metodo, std::uint32_t crc,
                         char cifrato) noexcept;

// Asks the user whether an existing file may be overwritten: 100 no, 103 yes to all, 104 none.
std::int32_t UZ_CALL chiedi_sovrascrittura(char* nome) noexcept;

// Supplies no password. Always 1.
std::int32_t UZ_CALL chiedi_password(char* buffer, std::int32_t dimensione, const char* richiesta,
                                     const char* nome) noexcept;

// The service routine, called as each entry is handed out: counts it in voci_avviate and, at most
// every 100 ms, tells the reporter how far the extraction has come out of the library's NumMembers
// (the window then lets its pending events run). Always 0: the work is never stopped from here.
std::int32_t UZ_CALL avanza_estrazione(const char* nome, std::uint32_t dimensione) noexcept;

// Puts these routines into funzioni_utente, sound left out; the totals after them are the
// library's own and are left alone.
void fill_callbacks() noexcept;

}  // namespace fennimark::zip
