#pragma once
// What every part of one run shares: the caller's options and routines, the archive, the status.

#include "callbacks.h"
#include "messages.h"
#include "options.h"
#include "status.h"

#include <zip.h>

namespace unzip32 {

struct RunContext {
    const Options& options;
    const Callbacks& callbacks;
    const Messages& messages;
    zip_t* archive;
    Status& status;
};

// Sizes travel to the caller as 32-bit values; larger ones show as the largest.
inline std::uint32_t clamp_to_32_bits(std::uint64_t value)
{
    return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
}

}  // namespace unzip32
