#pragma once
// The archive as libzip reads it: opening it from a path in the file system's own form, and what
// the library needs to know of each entry.

#include "libzip_handles.h"
#include "native_text.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace unzip32 {

// A source that reads the file at `path`; null with `error` set when it cannot be opened.
SourceHandle open_file_source(const NativeString& path, ZipError& error);

struct OpenedArchive {
    ArchiveHandle archive;
    int error = ZIP_ER_OK;  // libzip's reason when `archive` is null
};
OpenedArchive open_archive(const NativeString& path);

struct EntryInfo {
    zip_uint64_t index = 0;
    std::string name;  // UTF-8: flagged names as they are, legacy ones from code page 437
    std::uint64_t size = 0;
    std::uint64_t compressed_size = 0;
    std::uint32_t crc = 0;
    std::time_t modified = 0;
    std::uint16_t method = 0;
    std::uint16_t encryption = ZIP_EM_NONE;
    bool is_symbolic_link = false;
    // A trailing slash, or, for an entry without data, a folder's attributes: archivers for
    // MS-DOS and Windows may mark a folder by its attribute alone.
    bool is_folder = false;

    bool encrypted() const { return encryption != ZIP_EM_NONE; }
};
// Empty when libzip cannot describe the entry.
std::optional<EntryInfo> entry_info(zip_t* archive, zip_uint64_t index);

}  // namespace unzip32
