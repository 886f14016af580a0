#include "listing.h"

#include <cstdint>
#include <ctime>

namespace unzip32 {
namespace {

std::tm local_time(std::time_t time)
{
    std::tm parts{};
#ifdef _WIN32
    localtime_s(&parts, &time);
#else
    localtime_r(&time, &parts);
#endif
    return parts;
}

const char* method_name(std::uint16_t method)
{
    switch (method) {
    case ZIP_CM_STORE:
        return "Stored";
    case ZIP_CM_DEFLATE:
        return "Deflated";
    case ZIP_CM_DEFLATE64:
        return "Deflate64";
    case ZIP_CM_BZIP2:
        return "BZip2";
    case ZIP_CM_LZMA:
        return "LZMA";
    case ZIP_CM_XZ:
        return "XZ";
    default:
        return "Unknown";
    }
}

// Sizes come from the archive, which may claim anything.
std::uint64_t saturating_sum(std::uint64_t a, std::uint64_t b)
{
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

}  // namespace

std::uint32_t compression_factor(std::uint64_t size, std::uint64_t compressed_size)
{
    if (size == 0 || compressed_size >= size)
        return 0;
    // Rounded to the nearest percent, in floating point: the sizes may be too large to scale.
    return static_cast<std::uint32_t>(static_cast<double>(size - compressed_size) * 100.0 / static_cast<double>(size) + 0.5);
}

void Listing::list(const EntryInfo& entry)
{
    const std::tm modified = local_time(entry.modified);
    ListingLine line;
    line.size = clamp_to_32_bits(entry.size);
    line.compressed_size = clamp_to_32_bits(entry.compressed_size);
    line.compression_factor = compression_factor(entry.size, entry.compressed_size);
    line.month = static_cast<std::uint32_t>(modified.tm_mon + 1);
    line.day = static_cast<std::uint32_t>(modified.tm_mday);
    line.year = static_cast<std::uint32_t>(modified.tm_year + 1900);
    line.hour = static_cast<std::uint32_t>(modified.tm_hour);
    line.minute = static_cast<std::uint32_t>(modified.tm_min);
    line.encrypted = entry.encrypted();
    line.name = entry.name;
    line.method = method_name(entry.method);
    line.crc = entry.crc;
    run_.callbacks.list(line);
    run_.status.note_handled();
}

void fill_totals(USERFUNCTIONS& record, zip_t* archive, NameFilter filter)
{
    std::uint64_t count = 0, total_size = 0, total_compressed = 0;
    const zip_int64_t entries = zip_get_num_entries(archive, 0);
    for (zip_int64_t index = 0; index < entries; ++index) {
        // The same entries the walk takes: those libzip can describe and the lists select.
        const auto entry = entry_info(archive, static_cast<zip_uint64_t>(index));
        if (!entry || !filter.selects(entry->name))
            continue;
        ++count;
        total_size = saturating_sum(total_size, entry->size);
        total_compressed = saturating_sum(total_compressed, entry->compressed_size);
    }
    record.NumMembers = clamp_to_32_bits(count);
    record.TotalSize = clamp_to_32_bits(total_size);
    record.TotalSizeComp = clamp_to_32_bits(total_compressed);
    record.CompFactor = compression_factor(total_size, total_compressed);
    int comment_length = 0;
    zip_get_archive_comment(archive, &comment_length, ZIP_FL_ENC_RAW);
    record.cchComment = static_cast<std::uint16_t>(comment_length);
}

}  // namespace unzip32
