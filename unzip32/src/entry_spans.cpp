#include "entry_spans.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

namespace unzip32 {
namespace {

constexpr std::uint32_t local_header_signature = 0x04034b50;
constexpr std::uint32_t central_header_signature = 0x02014b50;
constexpr std::uint32_t end_record_signature = 0x06054b50;
constexpr std::uint32_t zip64_end_record_signature = 0x06064b50;
constexpr std::uint32_t zip64_locator_signature = 0x07064b50;
constexpr std::size_t local_header_size = 30;
constexpr std::size_t central_header_size = 46;
constexpr std::size_t end_record_size = 22;
constexpr std::size_t zip64_locator_size = 20;
constexpr std::size_t zip64_end_record_size = 56;
constexpr std::size_t largest_comment = 0xFFFF;
constexpr std::uint16_t zip64_extra_field = 0x0001;

std::uint16_t u16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t u32(const unsigned char* p) { return u16(p) | static_cast<std::uint32_t>(u16(p + 2)) << 16; }
std::uint64_t u64(const unsigned char* p) { return u32(p) | static_cast<std::uint64_t>(u32(p + 4)) << 32; }

// Reads bytes of the archive at given offsets through a libzip source. Small reads near each other
// (the local headers, in the order they lie) are served from one window.
class ArchiveReader {
public:
    explicit ArchiveReader(zip_source_t* source) : source_(source)
    {
        open_ = zip_source_open(source_) == 0;
        if (open_ && zip_source_seek(source_, 0, SEEK_END) == 0) {
            const zip_int64_t end = zip_source_tell(source_);
            size_ = end < 0 ? 0 : static_cast<std::uint64_t>(end);
        }
    }
    ~ArchiveReader()
    {
        if (open_)
            zip_source_close(source_);
    }
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    bool is_open() const { return open_; }
    std::uint64_t size() const { return size_; }

    // The `length` bytes at `offset`, or nothing when the file does not hold them all.
    std::optional<std::vector<unsigned char>> read(std::uint64_t offset, std::uint64_t length)
    {
        if (offset > size_ || length > size_ - offset)
            return std::nullopt;
        std::vector<unsigned char> bytes(static_cast<std::size_t>(length));
        if (!read_into(offset, bytes.data(), bytes.size()))
            return std::nullopt;
        return bytes;
    }

    // A pointer to the `length` bytes at `offset`, valid until the next call; null when the file
    // does not hold them all.
    const unsigned char* peek(std::uint64_t offset, std::size_t length)
    {
        if (offset < window_start_ || offset + length > window_start_ + window_.size()) {
            if (offset > size_ || length > size_ - offset)
                return nullptr;
            window_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(window_size, size_ - offset)));
            window_start_ = offset;
            if (window_.size() < length || !read_into(offset, window_.data(), window_.size())) {
                window_.clear();
                return nullptr;
            }
        }
        return window_.data() + (offset - window_start_);
    }

private:
    static constexpr std::size_t window_size = 64 * 1024;

    bool read_into(std::uint64_t offset, unsigned char* out, std::size_t length)
    {
        if (!open_ || zip_source_seek(source_, static_cast<zip_int64_t>(offset), SEEK_SET) != 0)
            return false;
        while (length > 0) {
            const zip_int64_t got = zip_source_read(source_, out, length);
            if (got <= 0)
                return false;
            out += got;
            length -= static_cast<std::size_t>(got);
        }
        return true;
    }

    zip_source_t* source_;
    bool open_ = false;
    std::uint64_t size_ = 0;
    std::vector<unsigned char> window_;
    std::uint64_t window_start_ = 0;
};

struct Directory {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint64_t entries = 0;

    bool operator==(const Directory&) const = default;
};

// Where end records may lie: every signature in the file's last 64 KiB whose comment ends within
// the file, the last first. A comment may hold the signature too, so there can be several.
std::vector<std::uint64_t> end_record_candidates(ArchiveReader& reader)
{
    std::vector<std::uint64_t> candidates;
    if (reader.size() < end_record_size)
        return candidates;
    const std::uint64_t tail_length = std::min<std::uint64_t>(reader.size(), end_record_size + largest_comment);
    const std::uint64_t tail_start = reader.size() - tail_length;
    const auto tail = reader.read(tail_start, tail_length);
    if (!tail)
        return candidates;
    for (std::size_t at = tail->size() - end_record_size + 1; at-- > 0;) {
        const unsigned char* record = tail->data() + at;
        if (u32(record) == end_record_signature && at + end_record_size + u16(record + 20) <= tail->size())
            candidates.push_back(tail_start + at);
    }
    return candidates;
}

// The directory the end record at `end_at` describes, with its Zip64 record if it has one.
std::optional<Directory> directory_of(ArchiveReader& reader, std::uint64_t end_at)
{
    const auto end = reader.read(end_at, end_record_size);
    if (!end)
        return std::nullopt;
    Directory directory{u32(end->data() + 16), u32(end->data() + 12), u16(end->data() + 10)};
    std::uint64_t directory_limit = end_at;

    const auto locator = end_at >= zip64_locator_size ? reader.read(end_at - zip64_locator_size, zip64_locator_size)
                                                      : std::nullopt;
    if (locator && u32(locator->data()) == zip64_locator_signature) {
        const std::uint64_t zip64_at = u64(locator->data() + 8);
        const auto zip64_end = reader.read(zip64_at, zip64_end_record_size);
        if (!zip64_end || u32(zip64_end->data()) != zip64_end_record_signature)
            return std::nullopt;
        directory = {u64(zip64_end->data() + 48), u64(zip64_end->data() + 40), u64(zip64_end->data() + 32)};
        directory_limit = zip64_at;
    }
    if (directory.offset > directory_limit || directory.size > directory_limit - directory.offset)
        return std::nullopt;
    return directory;
}

// An entry as libzip gives it, which the directory read here must repeat.
struct KnownEntry {
    std::string name;  // as stored (libzip's raw name)
    std::uint64_t size = 0;
    std::uint64_t compressed_size = 0;
    std::optional<std::uint32_t> crc;  // none where libzip knows no CRC to check
};

std::optional<std::vector<KnownEntry>> libzip_entries(zip_t* archive)
{
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0)
        return std::nullopt;
    std::vector<KnownEntry> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (zip_int64_t index = 0; index < count; ++index) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        constexpr zip_uint64_t needed = ZIP_STAT_NAME | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE;
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(index), ZIP_FL_ENC_RAW, &stat) != 0 ||
            (stat.valid & needed) != needed || stat.name == nullptr)
            return std::nullopt;
        KnownEntry entry{stat.name, stat.size, stat.comp_size, std::nullopt};
        if (stat.valid & ZIP_STAT_CRC)
            entry.crc = stat.crc;
        entries.push_back(std::move(entry));
    }
    return entries;
}

struct CentralEntry {
    std::uint64_t local_offset = 0;
    std::uint64_t compressed_size = 0;
    std::uint64_t size = 0;

    bool operator==(const CentralEntry&) const = default;
};

// The 64-bit values of the Zip64 extra field replace, in this order, those 32-bit fields that hold
// 0xFFFFFFFF.
void apply_zip64_field(const unsigned char* extra, std::size_t length, bool size_saturated, bool compressed_saturated,
                       bool offset_saturated, CentralEntry& entry)
{
    std::size_t at = 0;
    while (at + 4 <= length) {
        const std::uint16_t id = u16(extra + at);
        const std::size_t field_length = u16(extra + at + 2);
        const unsigned char* data = extra + at + 4;
        if (at + 4 + field_length > length)
            return;
        if (id == zip64_extra_field) {
            std::size_t used = 0;
            const auto take = [&](bool saturated, std::uint64_t& value) {
                if (!saturated)
                    return;
                if (used + 8 <= field_length)
                    value = u64(data + used);
                used += 8;
            };
            take(size_saturated, entry.size);
            take(compressed_saturated, entry.compressed_size);
            take(offset_saturated, entry.local_offset);
            return;
        }
        at += 4 + field_length;
    }
}

// The name libzip gives an entry is the one stored in its record, with any NUL as a blank, or the
// UTF-8 name of an Info-ZIP Unicode path field in it.
bool names_match(std::string_view stored, const unsigned char* extra, std::size_t extra_length, const std::string& known)
{
    constexpr std::uint16_t unicode_path_field = 0x7075;
    constexpr std::size_t unicode_path_header = 5;  // version, CRC of the stored name
    if (stored.size() == known.size()) {
        bool same = true;
        for (std::size_t i = 0; same && i < stored.size(); ++i)
            same = (stored[i] == '\0' ? ' ' : stored[i]) == known[i];
        if (same)
            return true;
    }
    std::size_t at = 0;
    while (at + 4 <= extra_length) {
        const std::size_t field_length = u16(extra + at + 2);
        if (at + 4 + field_length > extra_length)
            return false;
        if (u16(extra + at) == unicode_path_field && field_length >= unicode_path_header &&
            std::string_view(reinterpret_cast<const char*>(extra + at + 4 + unicode_path_header),
                             field_length - unicode_path_header) == known)
            return true;
        at += 4 + field_length;
    }
    return false;
}

// The entries of `directory`, when they are libzip's, index by index; nothing otherwise.
std::optional<std::vector<CentralEntry>> read_matching_entries(ArchiveReader& reader, const Directory& directory,
                                                               const std::vector<KnownEntry>& known)
{
    // Every entry takes at least a fixed header, so a directory cannot claim more than its size holds.
    if (directory.entries != known.size() || directory.entries > directory.size / central_header_size)
        return std::nullopt;
    const auto bytes = reader.read(directory.offset, directory.size);
    if (!bytes)
        return std::nullopt;
    std::vector<CentralEntry> entries;
    entries.reserve(known.size());
    std::size_t at = 0;
    for (const KnownEntry& expected : known) {
        if (bytes->size() - at < central_header_size)
            return std::nullopt;
        const unsigned char* header = bytes->data() + at;
        if (u32(header) != central_header_signature)
            return std::nullopt;
        const std::size_t name_length = u16(header + 28);
        const std::size_t extra_length = u16(header + 30);
        const std::size_t comment_length = u16(header + 32);
        const std::size_t record_length = central_header_size + name_length + extra_length + comment_length;
        if (bytes->size() - at < record_length)
            return std::nullopt;
        constexpr std::uint32_t saturated = 0xFFFFFFFF;
        CentralEntry entry{u32(header + 42), u32(header + 20), u32(header + 24)};
        const unsigned char* extra = header + central_header_size + name_length;
        apply_zip64_field(extra, extra_length, u32(header + 24) == saturated, u32(header + 20) == saturated,
                          u32(header + 42) == saturated, entry);
        const std::string_view name(reinterpret_cast<const char*>(header + central_header_size), name_length);
        if (entry.size != expected.size || entry.compressed_size != expected.compressed_size ||
            (expected.crc && u32(header + 16) != *expected.crc) || !names_match(name, extra, extra_length, expected.name))
            return std::nullopt;
        entries.push_back(entry);
        at += record_length;
    }
    return entries;
}

// More directories than this that each claim libzip's number of entries is no honest archive.
constexpr std::size_t most_directories = 16;

struct FoundDirectory {
    Directory directory;
    std::vector<CentralEntry> entries;
};

enum class DirectorySearch { found, none, ambiguous };

// The directory whose entries are libzip's. Two that are, but place the entries at different
// offsets, leave open which one libzip reads: such an archive is refused.
DirectorySearch find_libzips_directory(ArchiveReader& reader, const std::vector<KnownEntry>& known,
                                       std::optional<FoundDirectory>& found)
{
    std::vector<Directory> examined;
    for (const std::uint64_t end_at : end_record_candidates(reader)) {
        const auto directory = directory_of(reader, end_at);
        if (!directory || directory->entries != known.size() ||
            std::find(examined.begin(), examined.end(), *directory) != examined.end())
            continue;
        if (examined.size() == most_directories)
            return DirectorySearch::ambiguous;
        examined.push_back(*directory);
        auto entries = read_matching_entries(reader, *directory, known);
        if (!entries)
            continue;
        if (found && found->entries != *entries)
            return DirectorySearch::ambiguous;
        if (!found)
            found = FoundDirectory{*directory, std::move(*entries)};
    }
    return found ? DirectorySearch::found : DirectorySearch::none;
}

struct Span {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    zip_uint64_t index = 0;
};

std::string name_of(zip_t* archive, zip_uint64_t index)
{
    const char* name = zip_get_name(archive, index, 0);
    return name ? name : "?";
}

SpanCheck unreadable(std::string detail) { return {SpanVerdict::unreadable, std::move(detail)}; }

}  // namespace

SpanCheck check_entry_spans(const NativeString& path, zip_t* archive)
{
    ZipError error;
    SourceHandle source = open_file_source(path, error);
    if (!source)
        return unreadable("the archive cannot be read again");
    ArchiveReader reader(source.get());
    if (!reader.is_open())
        return unreadable("the archive cannot be read again");

    const auto known = libzip_entries(archive);
    if (!known)
        return unreadable("its central directory cannot be read");
    std::optional<FoundDirectory> found;
    switch (find_libzips_directory(reader, *known, found)) {
    case DirectorySearch::none:
        return unreadable("its central directory cannot be read");
    case DirectorySearch::ambiguous:
        return unreadable("it holds more than one central directory for its entries");
    case DirectorySearch::found:
        break;
    }
    const Directory& directory = found->directory;
    const std::vector<CentralEntry>& entries = found->entries;

    std::vector<Span> spans;
    spans.reserve(entries.size());
    std::vector<std::uint64_t> data_offsets;
    data_offsets.reserve(entries.size());
    for (zip_uint64_t index = 0; index < entries.size(); ++index) {
        const CentralEntry& entry = entries[index];
        const unsigned char* local = reader.peek(entry.local_offset, local_header_size);
        if (!local || u32(local) != local_header_signature || entry.compressed_size > reader.size())
            return unreadable("the entry " + name_of(archive, index) + " does not lie where the directory says");
        const std::uint64_t data_begin = entry.local_offset + local_header_size + u16(local + 26) + u16(local + 28);
        const std::uint64_t end = data_begin + entry.compressed_size;
        if (end > directory.offset)
            return unreadable("the entry " + name_of(archive, index) + " runs past the end of the entries");
        spans.push_back({entry.local_offset, end, index});
        data_offsets.push_back(data_begin);
    }

    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.begin < b.begin; });
    for (std::size_t i = 1; i < spans.size(); ++i) {
        if (spans[i].begin < spans[i - 1].end)
            return {SpanVerdict::overlap, "the entries " + name_of(archive, spans[i - 1].index) + " and " +
                                              name_of(archive, spans[i].index) + " share their data"};
    }
    SpanCheck apart;
    apart.data_offsets = std::move(data_offsets);
    return apart;
}

bool holds_end_record(const NativeString& path)
{
    ZipError error;
    SourceHandle source = open_file_source(path, error);
    if (!source)
        return false;
    ArchiveReader reader(source.get());
    return reader.is_open() && !end_record_candidates(reader).empty();
}

}  // namespace unzip32
