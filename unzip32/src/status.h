#pragma once
// The status of a run, gathered entry by entry (see the status codes in unzip32.h).

#include "unzip32.h"

#include <algorithm>
#include <cstdint>

namespace unzip32 {

class Status {
public:
    void note(std::int32_t status) { worst_ = std::max(worst_, status); }
    void note_handled() { handled_ = true; }
    void note_unsupported()
    {
        unsupported_ = true;
        note(UZ_BAD_ENTRIES);
    }

    // An unsupported entry is a bad one, unless nothing else could be handled or went wrong.
    std::int32_t result() const
    {
        if (unsupported_ && !handled_ && worst_ <= UZ_BAD_ENTRIES)
            return UZ_UNSUPPORTED;
        return worst_;
    }

private:
    std::int32_t worst_ = UZ_OK;
    bool handled_ = false;
    bool unsupported_ = false;
};

}  // namespace unzip32
