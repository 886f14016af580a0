#pragma once
// Reading a stored or deflated entry's data straight from the archive file, where the entries'
// check found them: the raw bytes in large pieces, inflated here with zlib, with the same checks
// as EntryReader (the CRC, and the recorded size, which the data may never exceed). Most entries
// of most archives are of these kinds; every other one is left to EntryReader and libzip.

#include "entry_reader.h"
#include "raw_file.h"

#include <zlib.h>

#include <optional>
#include <vector>

namespace unzip32 {

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
    // The next piece of raw data into raw_; its length (0 at the end), or nothing when unreadable.
    std::optional<std::size_t> next_raw();
    ReadResult copy(const EntryInfo& entry, const DataSink& sink);
    ReadResult inflate_all(const EntryInfo& entry, const DataSink& sink);
    // Passes on `length` bytes of output; a failure when they go past the recorded size.
    std::optional<ReadResult> pass_on(const char* bytes, std::size_t length, const EntryInfo& entry,
                                      const DataSink& sink);
    ReadResult finish(const EntryInfo& entry) const;

    RawFile& file_;
    std::vector<char> raw_;
    std::vector<char> out_;
    z_stream stream_{};
    std::uint64_t raw_offset_ = 0;
    std::uint64_t raw_left_ = 0;
    std::uint64_t total_ = 0;
    uLong crc_ = 0;
};

}  // namespace unzip32
