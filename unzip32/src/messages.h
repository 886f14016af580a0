#pragma once
// The library's messages: one line each, ending in a line feed, sent through the caller's print
// routine as far as the caller's quiet level allows.

#include "callbacks.h"

#include <string_view>

namespace unzip32 {

enum class MessageKind {
    progress,  // a file written, tested or skipped by choice: only at quiet level 0
    warning,   // something the caller should know, and every error: at quiet levels 0 and 1
};

class Messages {
public:
    Messages(const Callbacks& callbacks, std::int32_t quiet_level) : callbacks_(callbacks), quiet_level_(quiet_level) {}

    // `text` is UTF-8; it reaches the caller in the 8-bit code page.
    void say(MessageKind kind, std::string_view text) const;

private:
    const Callbacks& callbacks_;
    std::int32_t quiet_level_;
};

}  // namespace unzip32
