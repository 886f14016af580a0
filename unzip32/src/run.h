#pragma once
// One call of Wiz_SingleEntryUnzip: the arguments checked, the archive opened and checked, and
// its entries extracted, tested or listed.

#include "unzip32.h"

#include <cstdint>

namespace unzip32 {

// Beyond a few cores, more threads only compete for the disk.
inline constexpr unsigned most_workers = 4;

// How many threads write files when the caller does not say: one per core.
unsigned default_workers();

// May throw (std::bad_alloc and the like); the exported entry catches everything. `workers`
// threads write the extracted files; with none, everything happens on the calling thread.
std::int32_t run_single_entry_unzip(std::int32_t include_count, char** include_names, std::int32_t exclude_count,
                                    char** exclude_names, DCL* options, USERFUNCTIONS* callbacks,
                                    unsigned workers = default_workers());

}  // namespace unzip32
