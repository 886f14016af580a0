#pragma once
// What a stand-in toolkit library saw of the last call to its `fCreateShellLink`, as the tests read
// it through the library's `received_call` entry.

#include <cstdint>

namespace fennimark::testing {

inline constexpr int received_text_size = 256;

struct ReceivedCall {
    std::int32_t calls = 0;
    std::int32_t flag = 0;        // the fifth argument, for the form that has one
    std::uint32_t null_texts = 0; // bit i set: text i came as a null pointer
    // Folder, link name, target, arguments, parent folder; cut to received_text_size - 1 bytes.
    char texts[5][received_text_size] = {};
};

}  // namespace fennimark::testing
