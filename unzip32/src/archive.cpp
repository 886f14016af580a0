#include "archive.h"

namespace unzip32 {

SourceHandle open_file_source(const NativeString& path, ZipError& error)
{
#ifdef _WIN32
    return SourceHandle(zip_source_win32w_create(path.c_str(), 0, -1, error.get()));
#else
    return SourceHandle(zip_source_file_create(path.c_str(), 0, -1, error.get()));
#endif
}

OpenedArchive open_archive(const NativeString& path)
{
    ZipError error;
    SourceHandle source = open_file_source(path, error);
    if (!source)
        return {nullptr, error.code()};
    ArchiveHandle archive(zip_open_from_source(source.get(), ZIP_RDONLY, error.get()));
    if (!archive)
        return {nullptr, error.code()};
    source.release();  // the archive owns its source from now on
    return {std::move(archive), ZIP_ER_OK};
}

namespace {

constexpr zip_uint32_t unix_file_type_mask = 0170000;
constexpr zip_uint32_t unix_symbolic_link = 0120000;
constexpr zip_uint32_t unix_folder = 0040000;
constexpr zip_uint32_t ms_dos_folder_attribute = 0x10;

struct HostAttributes {
    zip_uint8_t system = ZIP_OPSYS_DEFAULT;
    zip_uint32_t attributes = 0;
};

std::optional<HostAttributes> host_attributes(zip_t* archive, zip_uint64_t index)
{
    HostAttributes host;
    if (zip_file_get_external_attributes(archive, index, 0, &host.system, &host.attributes) != 0)
        return std::nullopt;
    return host;
}

bool is_symbolic_link(const std::optional<HostAttributes>& host)
{
    return host && host->system == ZIP_OPSYS_UNIX && ((host->attributes >> 16) & unix_file_type_mask) == unix_symbolic_link;
}

// Systems that keep the MS-DOS attributes in the low byte say "folder" there; Unix says it in the
// file type of the mode in the high half.
bool has_folder_attributes(const std::optional<HostAttributes>& host)
{
    if (!host)
        return false;
    switch (host->system) {
    case ZIP_OPSYS_DOS:
    case ZIP_OPSYS_OS_2:
    case ZIP_OPSYS_WINDOWS_NTFS:
    case ZIP_OPSYS_VFAT:
        return (host->attributes & ms_dos_folder_attribute) != 0;
    case ZIP_OPSYS_UNIX:
        return ((host->attributes >> 16) & unix_file_type_mask) == unix_folder;
    default:
        return false;
    }
}

bool has_trailing_slash(const std::string& name)
{
    return !name.empty() && (name.back() == '/' || name.back() == '\\');
}

}  // namespace

std::optional<EntryInfo> entry_info(zip_t* archive, zip_uint64_t index)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, index, 0, &stat) != 0)
        return std::nullopt;
    constexpr zip_uint64_t needed = ZIP_STAT_NAME | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD;
    if ((stat.valid & needed) != needed || stat.name == nullptr)
        return std::nullopt;
    EntryInfo info;
    info.index = index;
    info.name = stat.name;
    info.size = stat.size;
    info.compressed_size = stat.comp_size;
    info.crc = (stat.valid & ZIP_STAT_CRC) ? stat.crc : 0;
    info.modified = (stat.valid & ZIP_STAT_MTIME) ? stat.mtime : 0;
    info.method = stat.comp_method;
    info.encryption = (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) ? stat.encryption_method : ZIP_EM_NONE;
    const auto host = host_attributes(archive, index);
    info.is_symbolic_link = is_symbolic_link(host);
    info.is_folder = has_trailing_slash(info.name) || (info.size == 0 && has_folder_attributes(host));
    return info;
}

}  // namespace unzip32
