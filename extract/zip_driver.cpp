#include "extract/zip_driver.h"

#include "extract/zip_callbacks.h"
#include "extract/zip_state.h"
#include "runtime/code_page.h"
#include "runtime/events.h"
#include "runtime/handles.h"
#include "runtime/run_time_error.h"

#include <windows.h>

#include <array>
#include <cstring>
#include <string>

namespace fennimark::zip {

namespace {

constexpr char library_file[] = "unzip32.dll";

// A file that is missing is error 53; one that is there but will not load is error 48.
int load_error_number(DWORD win32_code) noexcept
{
    const int number = runtime::error_number_for_win32(win32_code);
    return number == runtime::error::file_not_found ? number : runtime::error::library_load;
}

// Loaded by name through the system's search at the first use and kept for the rest of the run; a
// failed load is tried again at the next call.
HMODULE unzip_library()
{
    static runtime::LibraryHandle library;
    if (!library) {
        library.reset(LoadLibraryA(library_file));
        if (!library)
            runtime::raise(load_error_number(GetLastError()), runtime::from_ansi(library_file));
    }
    return library.get();
}

// Looked up at the moment it is called, so a missing entry fails that call and no earlier one.
template <typename Entry>
Entry library_entry(const char* name)
{
    const FARPROC address = GetProcAddress(unzip_library(), name);
    if (!address)
        runtime::raise(runtime::error::entry_not_found, runtime::from_ansi(name));
    // Through the generic function type, which the compiler accepts as a cast to any other.
    return reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(address));
}

// The library reads as many names as a count says from arrays of 100: a larger count would make
// it read beyond them. (A negative count it refuses itself, with a status.)
void check_count(std::int32_t count)
{
    if (count > static_cast<std::int32_t>(name_list_size))
        runtime::raise(runtime::error::invalid_call);
}

// An 8-bit copy of a text for as long as the library may read it. Empty text travels as null.
class AnsiText {
public:
    explicit AnsiText(const std::wstring& text) : bytes_(runtime::to_ansi(text)) {}
    AnsiText(const AnsiText&) = delete;
    AnsiText& operator=(const AnsiText&) = delete;

    char* get() noexcept { return bytes_.empty() ? nullptr : bytes_.data(); }

private:
    std::string bytes_;
};

// A name list as the library takes it: 100 pointers to 8-bit copies, null for an empty entry.
class AnsiNameList {
public:
    explicit AnsiNameList(const NameList& names)
    {
        for (std::size_t i = 0; i < name_list_size; ++i) {
            texts_[i] = runtime::to_ansi(names[i]);
            pointers_[i] = texts_[i].empty() ? nullptr : texts_[i].data();
        }
    }
    AnsiNameList(const AnsiNameList&) = delete;
    AnsiNameList& operator=(const AnsiNameList&) = delete;

    char** get() noexcept { return pointers_.data(); }

private:
    std::array<std::string, name_list_size> texts_;
    std::array<char*, name_list_size> pointers_{};
};

// Points the option record at the archive and folder texts while they live, and clears it on every
// way out, so that it never keeps pointers to released texts.
class OptionTexts {
public:
    OptionTexts(const std::wstring& nome_zip, const std::wstring& cartella) : archive_(nome_zip), folder_(cartella)
    {
        opzioni_zip.lpszZipFN = archive_.get();
        opzioni_zip.lpszExtractDir = folder_.get();
    }
    ~OptionTexts()
    {
        opzioni_zip.lpszZipFN = nullptr;
        opzioni_zip.lpszExtractDir = nullptr;
    }
    OptionTexts(const OptionTexts&) = delete;
    OptionTexts& operator=(const OptionTexts&) = delete;

private:
    AnsiText archive_;
    AnsiText folder_;
};

// The flags are widened from 16 to 32 bits with their sign: True (-1) stays -1.
void fill_options(std::int16_t avviso_sovrascrittura, std::int16_t sovrascrivi_sempre, std::int16_t solo_elenco,
                  std::int16_t crea_cartelle) noexcept
{
    opzioni_zip.ExtractOnlyNewer = 0;
    opzioni_zip.SpaceToUnderscore = 0;
    opzioni_zip.PromptToOverwrite = avviso_sovrascrittura;
    opzioni_zip.fQuiet = 0;
    opzioni_zip.ncflag = 0;
    opzioni_zip.ntflag = 0;
    opzioni_zip.nvflag = solo_elenco;
    opzioni_zip.nfflag = 0;
    opzioni_zip.nzflag = 0;
    opzioni_zip.ndflag = crea_cartelle;
    opzioni_zip.noflag = sovrascrivi_sempre;
    opzioni_zip.naflag = 0;
    opzioni_zip.nZIflag = 0;
    opzioni_zip.C_flag = 0;
    opzioni_zip.fPrivilege = 0;
}

// A fixed-width text field: blanks, then one zero byte in its last place.
template <std::size_t width>
void fill_blank_field(char (&field)[width]) noexcept
{
    std::memset(field, ' ', width - 1);
    field[width - 1] = '\0';
}

void prepare_version() noexcept
{
    versione_dll.structlen = sizeof(UzpVer2);
    fill_blank_field(versione_dll.betalevel);
    fill_blank_field(versione_dll.date);
    fill_blank_field(versione_dll.zlib_version);
}

}  // namespace

void estrai_archivio(const std::wstring& nome_zip, const std::wstring& cartella,
                     const std::int16_t& avviso_sovrascrittura, const std::int16_t& sovrascrivi_sempre,
                     const std::int16_t& solo_elenco, const std::int16_t& crea_cartelle,
                     const std::int32_t& numero_inclusi, const std::int32_t& numero_esclusi)
{
    check_count(numero_inclusi);
    check_count(numero_esclusi);

    // The window catches up before the library takes over the thread.
    runtime::do_events();

    fill_options(avviso_sovrascrittura, sovrascrivi_sempre, solo_elenco, crea_cartelle);
    const OptionTexts option_texts(nome_zip, cartella);
    fill_callbacks();
    prepare_version();

    library_entry<UzpVersion2Fn>("UzpVersion2")(&versione_dll);

    AnsiNameList inclusi(nomi_inclusi);
    AnsiNameList esclusi(nomi_esclusi);
    const auto unzip = library_entry<Wiz_SingleEntryUnzipFn>("Wiz_SingleEntryUnzip");
    codice_ritorno = unzip(numero_inclusi, inclusi.get(), numero_esclusi, esclusi.get(), &opzioni_zip, &funzioni_utente);
}

}  // namespace fennimark::zip
