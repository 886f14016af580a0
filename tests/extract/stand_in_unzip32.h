#pragma once
// The side door of the stand-in archive library: what a test tells it to call back during an
// extraction, and what it received, reached through its entries `stand_in_script` and
// `stand_in_seen`.

#include "unzip32/include/unzip32.h"

#include <cstdint>

namespace fennimark::testing {

// The callbacks to make inside Wiz_SingleEntryUnzip, in this order; a null text leaves one out.
struct StandInScript {
    std::int32_t status = 0;
    const char* printed = nullptr;
    std::uint32_t printed_length = 0;
    const char* listed_name = nullptr;
    std::uint32_t size = 0, month = 0, day = 0, year = 0, hour = 0, minute = 0;
    const char* existing_name = nullptr;
    bool ask_password = false;
};

inline constexpr int seen_text_size = 64;

struct StandInSeen {
    int calls = 0;        // of both entries, so that their order shows
    int version_call = 0; // the number of the last UzpVersion2 call among them
    int unzip_call = 0;
    bool messages_waiting = false;  // in the thread's queue when UzpVersion2 was called
    std::uint32_t structlen = 0;
    char betalevel[10] = {}, date[20] = {}, zlib_version[10] = {};
    std::int32_t flags[15] = {};  // the option record's integer fields, in order
    std::int32_t previous_flags[15] = {};  // the same, of the call before
    char archive[seen_text_size] = {}, folder[seen_text_size] = {};
    bool archive_null = false, folder_null = false;
    std::int32_t include_count = 0, exclude_count = 0;
    int include_texts = 0, exclude_texts = 0;  // non-null pointers among the 100 of each array
    char first_include[seen_text_size] = {};
    const DCL* options = nullptr;
    const USERFUNCTIONS* callbacks = nullptr;
    USERFUNCTIONS callback_fields{};
    std::int32_t replace_answer = 0, password_answer = 0;
    bool password_buffer_untouched = false;
};

using StandInScriptEntry = void(UZ_CALL*)(const StandInScript*);
using StandInSeenEntry = const StandInSeen*(UZ_CALL*)();

}  // namespace fennimark::testing
