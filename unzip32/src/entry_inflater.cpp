#include "entry_inflater.h"

#include <algorithm>
#include <new>

namespace unzip32 {
namespace {

// Large pieces: a page or a picture of a few hundred kilobytes takes one read and one write.
constexpr std::size_t chunk_size = 256 * 1024;

// Deflate adds 5 bytes per stored block of up to 64 KiB to data it cannot compress; a little more
// room is left for a few bytes that follow the end of the stream.
constexpr std::uint64_t whole_raw_limit = whole_inflate_limit + whole_inflate_limit / 1024 + 4096;

ReadResult damaged() { return {ReadOutcome::bad_data, "damaged data"}; }
ReadResult unreadable() { return {ReadOutcome::bad_data, "it cannot be read: the archive ends too soon"}; }
ReadResult too_long() { return {ReadOutcome::bad_data, "it holds more data than its recorded size"}; }

// Grows `buffer` to at least `size` bytes, and at least one, so that its data are never null.
char* room_for(std::vector<char>& buffer, std::uint64_t size)
{
    const auto wanted = static_cast<std::size_t>(std::max<std::uint64_t>(size, 1));
    if (buffer.size() < wanted)
        buffer.resize(wanted);
    return buffer.data();
}

}  // namespace

EntryInflater::EntryInflater(RawFile& file)
    : file_(file), raw_(chunk_size), out_(chunk_size), decompressor_(libdeflate_alloc_decompressor())
{
    // Raw deflate data, as ZIP entries hold them: no zlib header, the largest window.
    if (!decompressor_ || inflateInit2(&stream_, -MAX_WBITS) != Z_OK)
        throw std::bad_alloc();
}

EntryInflater::~EntryInflater() { inflateEnd(&stream_); }

bool EntryInflater::handles(const EntryInfo& entry)
{
    return !entry.encrypted() && (entry.method == ZIP_CM_STORE || entry.method == ZIP_CM_DEFLATE);
}

ReadResult EntryInflater::read(const EntryInfo& entry, std::uint64_t data_offset, const DataSink& sink)
{
    raw_offset_ = data_offset;
    raw_left_ = entry.compressed_size;
    total_ = 0;
    crc_ = 0;
    if (entry.method == ZIP_CM_STORE)
        return copy(entry, sink);
    if (entry.size <= whole_inflate_limit && entry.compressed_size <= whole_raw_limit)
        return inflate_whole(entry, sink);
    return inflate_stream(entry, sink);
}

std::optional<std::size_t> EntryInflater::next_raw()
{
    const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(raw_left_, raw_.size()));
    if (length > 0 && !file_.read_at(raw_offset_, raw_.data(), length))
        return std::nullopt;
    raw_offset_ += length;
    raw_left_ -= length;
    return length;
}

ReadResult EntryInflater::copy(const EntryInfo& entry, const DataSink& sink)
{
    for (;;) {
        const auto got = next_raw();
        if (!got)
            return unreadable();
        if (*got == 0)
            return finish(entry);
        if (auto failed = pass_on(raw_.data(), *got, entry, sink))
            return *failed;
    }
}

ReadResult EntryInflater::inflate_whole(const EntryInfo& entry, const DataSink& sink)
{
    const auto raw_length = static_cast<std::size_t>(entry.compressed_size);
    char* raw = room_for(whole_raw_, raw_length);
    if (raw_length > 0 && !file_.read_at(raw_offset_, raw, raw_length))
        return unreadable();
    // Room for exactly the recorded size: data that would go past it do not fit, and say so.
    const auto size = static_cast<std::size_t>(entry.size);
    char* out = room_for(whole_out_, size);
    std::size_t used = 0;
    std::size_t produced = 0;
    // Whatever follows the end of the stream within the entry is not part of the file.
    switch (libdeflate_deflate_decompress_ex(decompressor_.get(), raw, raw_length, out, size, &used, &produced)) {
    case LIBDEFLATE_SUCCESS:
        break;
    case LIBDEFLATE_INSUFFICIENT_SPACE:
        return too_long();
    default:
        return damaged();
    }
    // Checked before any of it is written: a lying entry costs no writing at all.
    total_ = produced;
    crc_ = libdeflate_crc32(0, out, produced);
    if (ReadResult checked = finish(entry); checked.outcome != ReadOutcome::complete)
        return checked;
    if (produced > 0 && !sink(out, produced))
        return {ReadOutcome::sink_failed, {}};
    return {};
}

ReadResult EntryInflater::inflate_stream(const EntryInfo& entry, const DataSink& sink)
{
    if (inflateReset(&stream_) != Z_OK)
        return damaged();
    for (;;) {
        const auto got = next_raw();
        if (!got)
            return unreadable();
        if (*got == 0)
            return damaged();  // the data end before the deflated stream does
        stream_.next_in = reinterpret_cast<Bytef*>(raw_.data());
        stream_.avail_in = static_cast<uInt>(*got);
        do {
            stream_.next_out = reinterpret_cast<Bytef*>(out_.data());
            stream_.avail_out = static_cast<uInt>(out_.size());
            const int status = inflate(&stream_, Z_NO_FLUSH);
            if (status == Z_MEM_ERROR)
                throw std::bad_alloc();
            // What came out before a fault counts first, as it does when inflating whole: data
            // that go past the recorded size are reported as such even if damaged further on.
            if (auto failed = pass_on(out_.data(), out_.size() - stream_.avail_out, entry, sink))
                return *failed;
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
                return damaged();
            if (status == Z_STREAM_END)
                return finish(entry);
        } while (stream_.avail_out == 0);  // otherwise all input is used up: fetch more
    }
}

std::optional<ReadResult> EntryInflater::pass_on(const char* bytes, std::size_t length, const EntryInfo& entry,
                                                 const DataSink& sink)
{
    if (length == 0)
        return std::nullopt;
    total_ += length;
    if (total_ > entry.size)
        return too_long();
    crc_ = libdeflate_crc32(crc_, bytes, length);
    if (!sink(bytes, length))
        return ReadResult{ReadOutcome::sink_failed, {}};
    return std::nullopt;
}

ReadResult EntryInflater::finish(const EntryInfo& entry) const
{
    if (total_ != entry.size)
        return {ReadOutcome::bad_data, "it holds less data than its recorded size"};
    if (crc_ != entry.crc)
        return {ReadOutcome::bad_data, "CRC mismatch"};
    return {};
}

}  // namespace unzip32
