#include "extract/listing_line.h"

#include <algorithm>

namespace fennimark::zip {

namespace {

constexpr std::size_t name_column = 1, name_width = 50;
constexpr std::size_t size_last_column = 57, size_width = 7;
constexpr std::size_t day_column = 60, month_column = 63, year_column = 66;
constexpr std::size_t hour_column = 70, minute_column = 73;

std::wstring right_most(const std::wstring& text, std::size_t count)
{
    return text.substr(text.size() - std::min(count, text.size()));
}

// A blank and one digit below 10: how days and hours are shown.
std::wstring blank_padded(std::uint32_t value)
{
    return right_most(L" " + std::to_wstring(value), 2);
}

// Always two digits: months, years and minutes.
std::wstring zero_padded(std::uint32_t value)
{
    return right_most(L"0" + std::to_wstring(value), 2);
}

// Right-aligned in seven columns; a size of eight digits or more shows its last seven, as the
// listing has always been laid out.
std::wstring size_field(std::uint32_t size)
{
    return right_most(std::wstring(8, L' ') + L" " + std::to_wstring(size), size_width);
}

}  // namespace

void ListingLine::write(std::size_t column, std::size_t field_width, std::wstring_view piece) noexcept
{
    if (column < 1 || column > width)
        return;
    const std::size_t count = std::min({field_width, piece.size(), width - (column - 1)});
    std::copy_n(piece.begin(), count, columns_.begin() + static_cast<std::ptrdiff_t>(column - 1));
}

void write_heading(ListingLine& line) noexcept
{
    line.write(1, 9, L"Filename:");
    line.write(53, 4, L"Size");
    line.write(62, 4, L"Date");
    line.write(71, 4, L"Time");
}

void write_entry(ListingLine& line, std::wstring_view name, std::uint32_t size, std::uint32_t month,
                 std::uint32_t day, std::uint32_t year, std::uint32_t hour, std::uint32_t minute)
{
    line.write(name_column, name_width, name);
    line.write(size_last_column + 1 - size_width, size_width, size_field(size));
    line.write(day_column, 3, blank_padded(day) + L"/");
    line.write(month_column, 3, zero_padded(month) + L"/");
    line.write(year_column, 2, zero_padded(year));
    line.write(hour_column, 3, blank_padded(hour) + L":");
    line.write(minute_column, 2, zero_padded(minute));
}

}  // namespace fennimark::zip
