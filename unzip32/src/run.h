#pragma once
// One call of Wiz_SingleEntryUnzip: the arguments checked, the archive opened and checked, and
// its entries extracted, tested or listed.

#include "unzip32.h"

#include <cstdint>

namespace unzip32 {

// May throw (std::bad_alloc and the like); the exported entry catches everything.
std::int32_t run_single_entry_unzip(std::int32_t include_count, char** include_names, std::int32_t exclude_count,
                                    char** exclude_names, DCL* options, USERFUNCTIONS* callbacks);

}  // namespace unzip32
