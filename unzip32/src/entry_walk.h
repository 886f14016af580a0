#pragma once
// Going through the archive's entries in their order, taking those the caller's lists select.

#include "archive.h"
#include "name_filter.h"
#include "run_context.h"

#include <cstdint>
#include <functional>

namespace unzip32 {

// Hands each selected entry to `handle`; the walk ends early when `handle` returns false.
// Returns how many entries were selected.
std::uint64_t walk_selected_entries(const RunContext& run, NameFilter& filter,
                                    const std::function<bool(const EntryInfo&)>& handle);

}  // namespace unzip32
