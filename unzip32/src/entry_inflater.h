#pragma once
// Reading a stored or deflated entry's data straight from the archive file, where the entries' check
// found them, with the same checks as EntryReader (the CRC, and the recorded size, which the data may
// never exceed). Deflated entries of a few megabytes at most, most files of most archives, are read
// and inflated whole with libdeflate, which is about twice as fast as zlib on them; larger ones are
// inflated in pieces with zlib, so that memory stays small whatever the archive holds. Both ways
// give the same results and reasons. Every other kind of entry is left to EntryReader and libzip.

#include "entry_reader.h"
#include "raw_file.h"

#include <libdeflate.h>
#include <zlib.h>

#include <memory>
#include <optional>
#include <vector>

namespace unzip32 {

// The largest entry inflated whole; its raw data may be a little larger (deflate's stored blocks).
inline constexpr std::uint64_t whole_inflate_limit = 4 * 1024 * 1024;

class EntryInflater {
public:
    explicit EntryInflater(RawFile& file);
    ~EntryInflater();
    EntryInflater(const EntryInflater&) = delete;
    EntryInflater& operator=(const EntryInflater&) = delete;

    // Stored or deflated, and not encrypted.
    static bool handles(const EntryInfo& entry);

    // Hands every byte of the entry, whose data begin at `data_offset`, to `sink`, in order.
    ReadResult read(const EntryInfo& entry, std::uint64_t data_offset, const DataSink& sink);

private:
    struct DecompressorFree {
        void operator()(libdeflate_decompressor* decompressor) const noexcept
        {
            libdeflate_free_decompressor(decompressor);
        }
    };

    // The next piece of raw data into raw_; its length (0 at the end), or nothing when unreadable.
    std::optional<std::size_t> next_raw();
    ReadResult copy(const EntryInfo& entry, const DataSink& sink);
    ReadResult inflate_whole(const EntryInfo& entry, const DataSink& sink);
    ReadResult inflate_stream(const EntryInfo& entry, const DataSink& sink);
    // Passes on `length` bytes of output; a failure when they go past the recorded size.
    std::optional<ReadResult> pass_on(const char* bytes, std::size_t length, const EntryInfo& entry,
                                      const DataSink& sink);
    ReadResult finish(const EntryInfo& entry) const;

    RawFile& file_;
    std::vector<char> raw_;
    std::vector<char> out_;
    // Grown to the largest entry inflated whole so far, never past the limit.
    std::vector<char> whole_raw_;
    std::vector<char> whole_out_;
    std::unique_ptr<libdeflate_decompressor, DecompressorFree> decompressor_;
    z_stream stream_{};
    std::uint64_t raw_offset_ = 0;
    std::uint64_t raw_left_ = 0;
    std::uint64_t total_ = 0;
    std::uint32_t crc_ = 0;
};

}  // namespace unzip32
