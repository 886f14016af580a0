#pragma once
// Listing the selected entries through the caller's SendApplicationMessage routine, and the
// totals of the selected entries in the callback record.

#include "archive.h"
#include "name_filter.h"
#include "run_context.h"

#include <cstdint>

namespace unzip32 {

class Listing {
public:
    explicit Listing(const RunContext& run) : run_(run) {}
    void list(const EntryInfo& entry);

private:
    const RunContext& run_;
};

// Writes into the callback record the totals of the entries `filter` selects, from the archive's
// directory alone, so that every mode has them before its first callback. The filter is a copy:
// what it records of matches belongs to the run itself.
void fill_totals(USERFUNCTIONS& record, zip_t* archive, NameFilter filter);

// The space compression saves, in percent of the size; 0 when it saves none.
std::uint32_t compression_factor(std::uint64_t size, std::uint64_t compressed_size);

}  // namespace unzip32
