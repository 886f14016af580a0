#pragma once
// Listing the selected entries through the caller's SendApplicationMessage routine, and the
// totals of the listing in the callback record.

#include "archive.h"
#include "run_context.h"

#include <cstdint>

namespace unzip32 {

class Listing {
public:
    explicit Listing(const RunContext& run) : run_(run) {}
    void list(const EntryInfo& entry);
    // Writes the totals into the callback record.
    void finish() const;

private:
    const RunContext& run_;
    std::uint64_t count_ = 0;
    std::uint64_t total_size_ = 0;
    std::uint64_t total_compressed_ = 0;
};

// The space compression saves, in percent of the size; 0 when it saves none.
std::uint32_t compression_factor(std::uint64_t size, std::uint64_t compressed_size);

}  // namespace unzip32
