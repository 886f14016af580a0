#include "entry_inflater.h"

#include <new>
#include <string>

namespace unzip32 {
namespace {

// Large pieces: a picture of a few hundred kilobytes takes one read and one write.
constexpr std::size_t chunk_size = 256 * 1024;

ReadResult damaged() { return {ReadOutcome::bad_data, "damaged data"}; }

ReadResult read_failure(zip_file_t* file)
{
    zip_error_t* error = zip_file_get_error(file);
    if (zip_error_code_zip(error) == ZIP_ER_MEMORY)
        throw std::bad_alloc();
    return {ReadOutcome::bad_data, std::string("it cannot be read: ") + zip_error_strerror(error)};
}

}  // namespace

EntryInflater::EntryInflater(zip_t* archive) : archive_(archive), raw_(chunk_size), out_(chunk_size)
{
    // Raw deflate data, as ZIP entries hold them: no zlib header, the largest window.
    if (inflateInit2(&stream_, -MAX_WBITS) != Z_OK)
        throw std::bad_alloc();
}

EntryInflater::~EntryInflater() { inflateEnd(&stream_); }

bool EntryInflater::handles(const EntryInfo& entry)
{
    return !entry.encrypted() && entry.method == ZIP_CM_DEFLATE;
}

std::optional<ReadResult> EntryInflater::read(const EntryInfo& entry, const DataSink& sink)
{
    EntryFileHandle file(zip_fopen_index(archive_, entry.index, ZIP_FL_COMPRESSED));
    if (!file)
        return std::nullopt;
    total_ = 0;
    crc_ = crc32(0, nullptr, 0);
    return inflate_all(file.get(), entry, sink);
}

ReadResult EntryInflater::inflate_all(zip_file_t* file, const EntryInfo& entry, const DataSink& sink)
{
    if (inflateReset(&stream_) != Z_OK)
        return damaged();
    for (;;) {
        const zip_int64_t got = zip_fread(file, raw_.data(), raw_.size());
        if (got < 0)
            return read_failure(file);
        if (got == 0)
            return damaged();  // the data end before the deflated stream does
        stream_.next_in = reinterpret_cast<Bytef*>(raw_.data());
        stream_.avail_in = static_cast<uInt>(got);
        int status = Z_OK;
        do {
            stream_.next_out = reinterpret_cast<Bytef*>(out_.data());
            stream_.avail_out = static_cast<uInt>(out_.size());
            status = inflate(&stream_, Z_NO_FLUSH);
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
