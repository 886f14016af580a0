#pragma once
// Reading a deflated entry's data with fewer layers than libzip's own: its raw bytes taken from
// libzip in large pieces and inflated here with zlib, with the same checks as EntryReader (the
// CRC, and the recorded size, which the data may never exceed). Most entries of most archives are
// deflated; every other one is left to EntryReader.

#include "entry_reader.h"

#include <zlib.h>

#include <optional>
#include <vector>

namespace unzip32 {

class EntryInflater {
public:
    explicit EntryInflater(zip_t* archive);
    ~EntryInflater();
    EntryInflater(const EntryInflater&) = delete;
    EntryInflater& operator=(const EntryInflater&) = delete;

    // Deflated, and not encrypted.
    static bool handles(const EntryInfo& entry);

    // Hands every byte of the entry to `sink`, in order; nothing when libzip cannot even open the
    // entry's data, which EntryReader then reports as it always has.
    std::optional<ReadResult> read(const EntryInfo& entry, const DataSink& sink);

private:
    ReadResult inflate_all(zip_file_t* file, const EntryInfo& entry, const DataSink& sink);
    // Passes on `length` bytes of output; a failure when they go past the recorded size.
    std::optional<ReadResult> pass_on(const char* bytes, std::size_t length, const EntryInfo& entry,
                                      const DataSink& sink);
    ReadResult finish(const EntryInfo& entry) const;

    zip_t* archive_;
    std::vector<char> raw_;
    std::vector<char> out_;
    z_stream stream_{};
    std::uint64_t total_ = 0;
    uLong crc_ = 0;
};

}  // namespace unzip32
