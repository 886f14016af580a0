// The installer's extraction, natively: the archive library loaded from a file, called as the
// installer calls it (its option values and empty name lists) with the installer's own callbacks
// (message log, listing, overwrite question, password, progress).
//
//   unzip32_bench_driver LIBRARY ARCHIVE FOLDER [--list | --without-progress]
//
// --without-progress leaves the service routine out, to tell what following the progress costs.
//
// Prints the library's status, the listing's line count and the message log's length; exits 0
// only when the status is 0.

#include "extract/zip_callbacks.h"
#include "extract/zip_reset.h"
#include "extract/zip_state.h"

#include <dlfcn.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

using namespace fennimark::zip;

struct LibraryCloser {
    void operator()(void* library) const noexcept { dlclose(library); }
};
using LibraryHandle = std::unique_ptr<void, LibraryCloser>;

template <typename Entry>
Entry entry_of(void* library, const char* name)
{
    return reinterpret_cast<Entry>(dlsym(library, name));
}

void fill_records(bool list_only, bool with_progress, char* archive, char* folder)
{
    opzioni_zip = DCL{};
    opzioni_zip.PromptToOverwrite = 1;
    opzioni_zip.noflag = 1;
    opzioni_zip.nvflag = list_only ? 1 : 0;
    opzioni_zip.ndflag = 1;
    opzioni_zip.lpszZipFN = archive;
    opzioni_zip.lpszExtractDir = folder;
    fill_callbacks();
    if (!with_progress)
        funzioni_utente.ServCallBk = nullptr;
    versione_dll = UzpVer2{};
    versione_dll.structlen = sizeof(UzpVer2);
}

}  // namespace

int main(int argc, char** argv)
{
    const bool list_only = argc == 5 && std::strcmp(argv[4], "--list") == 0;
    const bool without_progress = argc == 5 && std::strcmp(argv[4], "--without-progress") == 0;
    if (argc != 4 && !list_only && !without_progress) {
        std::fprintf(stderr, "usage: %s LIBRARY ARCHIVE FOLDER [--list | --without-progress]\n", argv[0]);
        return 2;
    }
    const LibraryHandle library(dlopen(argv[1], RTLD_NOW | RTLD_LOCAL));
    if (!library) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 2;
    }
    const auto version = entry_of<UzpVersion2Fn>(library.get(), "UzpVersion2");
    const auto unzip = entry_of<Wiz_SingleEntryUnzipFn>(library.get(), "Wiz_SingleEntryUnzip");
    if (!version || !unzip) {
        std::fprintf(stderr, "%s lacks the library's entries\n", argv[1]);
        return 2;
    }

    reset_extraction_state({});
    std::string archive = argv[2];
    std::string folder = argv[3];
    fill_records(list_only, !without_progress, archive.data(), folder.data());
    std::array<char*, name_list_size> included{};
    std::array<char*, name_list_size> excluded{};
    version(&versione_dll);
    codice_ritorno = unzip(0, included.data(), 0, excluded.data(), &opzioni_zip, &funzioni_utente);

    std::printf("status %d, %d listing lines, %zu characters of messages\n", codice_ritorno, numero_file,
                registro_messaggi.size());
    if (codice_ritorno != 0)
        std::fprintf(stderr, "%ls", registro_messaggi.c_str());
    return codice_ritorno == 0 ? 0 : 1;
}
