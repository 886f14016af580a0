#pragma once
// The library's messages: one line each, ending in a line feed, sent through the caller's print
// routine as far as the caller's quiet level allows.

#include "callbacks.h"

#include <string>
#include <string_view>

namespace unzip32 {

enum class MessageKind {
    progress,  // a file written, tested or skipped by choice: only at quiet level 0
    warning,   // something the caller should know, and every error: at quiet levels 0 and 1
};

// Takes lines that must wait their turn: while files of earlier entries are still being written,
// what is said about later ones comes after what will be said about those.
class MessageHolder {
public:
    // True when the holder kept `line` to pass on later itself.
    virtual bool hold(const std::string& line) = 0;

protected:
    ~MessageHolder() = default;
};

class Messages {
public:
    Messages(const Callbacks& callbacks, std::int32_t quiet_level) : callbacks_(callbacks), quiet_level_(quiet_level) {}

    // `text` is UTF-8; it reaches the caller in the 8-bit code page.
    void say(MessageKind kind, std::string_view text) const;

    // Lines go through `holder` (null: none) from now on.
    void hold_with(MessageHolder* holder) const { holder_ = holder; }

private:
    const Callbacks& callbacks_;
    std::int32_t quiet_level_;
    mutable MessageHolder* holder_ = nullptr;
};

}  // namespace unzip32
