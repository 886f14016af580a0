#pragma once
// One line of the file listing: 80 fixed columns, blank until something is written into them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fennimark::zip {

class ListingLine {
public:
    static constexpr std::size_t width = 80;

    ListingLine() noexcept { clear(); }
    void clear() noexcept { columns_.fill(L' '); }

    // Writes the first `field_width` characters of `piece` from `column` on (counted from 1). A
    // shorter piece leaves the rest of the field as it was; nothing is written beyond column 80.
    void write(std::size_t column, std::size_t field_width, std::wstring_view piece) noexcept;

    std::wstring text() const { return {columns_.begin(), columns_.end()}; }

private:
    std::array<wchar_t, width> columns_;
};

void write_heading(ListingLine& line) noexcept;

// The entry's name, size, date (day/month/year) and time in their columns.
void write_entry(ListingLine& line, std::wstring_view name, std::uint32_t size, std::uint32_t month,
                 std::uint32_t day, std::uint32_t year, std::uint32_t hour, std::uint32_t minute);

}  // namespace fennimark::zip
