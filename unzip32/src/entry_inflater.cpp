#include "entry_inflater.h"

#include <algorithm>
#include <new>

namespace unzip32 {
namespace {

// Large pieces: a page or a picture of a few hundred kilobytes takes one read and one write.
constexpr std::size_t chunk_size = 256 * 1024;

ReadResult damaged() { return {ReadOutcome::bad_data, "damaged data"}; }
ReadResult unreadable() { return {ReadOutcome::bad_data, "it cannot be read: the archive ends too soon"}; }

}  // namespace

EntryInflater::EntryInflater(RawFile& file) : file_(file), raw_(chunk_size), out_(chunk_size)
{
    // Raw deflate data, as ZIP entries hold them: no zlib header, the largest window.
    if (inflateInit2(&stream_, -MAX_WBITS) != Z_OK)
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
    crc_ = crc32(0, nullptr, 0);
    return entry.method == ZIP_CM_STORE ? copy(entry, sink) : inflate_all(entry, sink);
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

ReadResult EntryInflater::inflate_all(const EntryInfo& entry, const DataSink& sink)
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
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
                return damaged();
            if (auto failed = pass_on(out_.data(), out_.size() - stream_.avail_out, entry, sink))
                return *failed;
            // Whatever follows the end of the stream within the entry is not part of the file.
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
        return ReadResult{ReadOutcome::bad_data, "it holds more data than its recorded size"};
    crc_ = crc32_z(crc_, reinterpret_cast<const Bytef*>(bytes), length);
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
