#pragma once
// The caller's routines, each called only when its field is set. Text is given to these functions
// in UTF-8 and reaches the routines in the system's 8-bit code page, in buffers the library owns.

#include "unzip32.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace unzip32 {

struct ListingLine {
    std::uint32_t size = 0;
    std::uint32_t compressed_size = 0;
    std::uint32_t compression_factor = 0;
    std::uint32_t month = 0, day = 0, year = 0, hour = 0, minute = 0;
    bool encrypted = false;
    std::string name;
    std::string method;
    std::uint32_t crc = 0;
};

class Callbacks {
public:
    explicit Callbacks(USERFUNCTIONS& routines) : routines_(routines) {}

    void print(std::string_view text) const;
    // The caller's answer, or nothing when there is no routine to ask.
    std::optional<std::int32_t> ask_replace(std::string_view path) const;
    // The password, or nothing when there is no routine or it declined.
    std::optional<std::string> ask_password(std::string_view entry_name) const;
    void list(const ListingLine& line) const;
    // True when the caller's service routine asks to stop.
    bool cancelled_before(std::string_view entry_name, std::uint32_t size) const;
    void sound() const;

    USERFUNCTIONS& record() const { return routines_; }

private:
    USERFUNCTIONS& routines_;
};

}  // namespace unzip32
