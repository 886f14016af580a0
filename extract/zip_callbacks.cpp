#include "extract/zip_callbacks.h"

#include "extract/listing_line.h"
#include "extract/zip_state.h"
#include "runtime/code_page.h"
#include "runtime/reporter.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <limits>
#include <string>

namespace fennimark::zip {

namespace {

constexpr std::size_t most_printed_bytes = 32001;
constexpr std::size_t most_name_bytes = 256;
constexpr std::size_t most_entry_name_bytes = 65536;  // a name in a ZIP directory is at most 65,535 bytes
constexpr wchar_t overwrite_title[] = L"DUVarev - File already exists";
// Often enough for a window that looks alive, seldom enough to cost nothing next to the writes.
constexpr auto progress_interval = std::chrono::milliseconds(100);
std::chrono::steady_clock::time_point last_progress;

// Runs one step of a callback. Whatever the step throws stays here, so that the callback goes on
// with its next step and nothing ever unwinds into the library's C code.
template <typename Step>
void carry_on(Step&& step) noexcept
{
    try {
        step();
    } catch (...) {
    }
}

std::int32_t answer_for_button(int button) noexcept
{
    switch (button) {
    case runtime::box_answer::no: return IDM_REPLACE_NO;
    case runtime::box_answer::cancel: return IDM_REPLACE_NONE;
    default: return IDM_REPLACE_ALL;
    }
}

}  // namespace

std::int32_t UZ_CALL ricevi_stampa(char* testo, std::uint32_t lunghezza) noexcept
{
    std::wstring stampato;
    carry_on([&] {
        stampato = runtime::from_ansi_until_nul(testo, std::min<std::size_t>(lunghezza, most_printed_bytes));
    });
    // The library's texts carry their own line ends, so nothing is added between them.
    carry_on([&] { registro_messaggi += stampato; });
    return 0;
}

void UZ_CALL elenca_file(std::uint32_t dimensione, std::uint32_t, std::uint32_t, std::uint32_t mese,
                         std::uint32_t giorno, std::uint32_t anno, std::uint32_t ora, std::uint32_t minuto, char,
                         char* nome, char*, std::uint32_t, char) noexcept
{
    ListingLine riga;
    if (numero_file == 0) {
        // The first entry since the caller's reset starts a new listing.
        write_heading(riga);
        carry_on([&] { elenco_file = riga.text() + fine_riga; });
        riga.clear();
    }
    std::wstring nome_file;
    carry_on([&] { nome_file = runtime::from_ansi_until_nul(nome, most_name_bytes); });
    carry_on([&] { write_entry(riga, nome_file, dimensione, mese, giorno, anno, ora, minuto); });
    carry_on([&] { elenco_file += riga.text() + fine_riga; });
    if (osserva_voce)
        carry_on([&] { osserva_voce(runtime::from_ansi_until_nul(nome, most_entry_name_bytes)); });
    if (numero_file < std::numeric_limits<std::int32_t>::max())
        ++numero_file;
}

std::int32_t UZ_CALL chiedi_sovrascrittura(char* nome) noexcept
{
    // Leaving the file is the answer whenever the question cannot be asked.
    std::int32_t risposta = IDM_REPLACE_NO;
    std::wstring nome_file;
    carry_on([&] { nome_file = runtime::from_ansi_until_nul(nome, most_name_bytes); });
    carry_on([&] {
        const int pulsante =
            runtime::tell(L"Overwrite " + nome_file + L"?", runtime::box_style::yes_no_cancel, overwrite_title);
        risposta = answer_for_button(pulsante);
    });
    return risposta;
}

std::int32_t UZ_CALL chiedi_password(char*, std::int32_t, const char*, const char*) noexcept
{
    // No entry of the catalogue is encrypted: any that is gets skipped.
    return 1;
}

std::int32_t UZ_CALL avanza_estrazione(const char*, std::uint32_t) noexcept
{
    if (voci_avviate < std::numeric_limits<std::uint32_t>::max())
        ++voci_avviate;
    carry_on([] {
        const auto now = std::chrono::steady_clock::now();
        // The first entry shows the progress at once; later ones only once the interval has passed.
        if (voci_avviate > 1 && now - last_progress < progress_interval)
            return;
        last_progress = now;
        runtime::reporter().progress(voci_avviate, funzioni_utente.NumMembers);
    });
    return 0;
}

// Shared with the benchmark's driver, so that it measures exactly what the installer hands over.
void fill_callbacks() noexcept
{
    funzioni_utente.print = &ricevi_stampa;
    funzioni_utente.sound = nullptr;
    funzioni_utente.replace = &chiedi_sovrascrittura;
    funzioni_utente.password = &chiedi_password;
    funzioni_utente.SendApplicationMessage = &elenca_file;
    funzioni_utente.ServCallBk = &avanza_estrazione;
}

}  // namespace fennimark::zip
