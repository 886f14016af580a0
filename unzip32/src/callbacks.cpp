#include "callbacks.h"

#include "native_text.h"

#include <algorithm>
#include <vector>

namespace unzip32 {
namespace {

// A writable, zero-terminated copy: the routines take `char *`, and some write into it. The
// buffer is never shorter than the classic path limit, so a routine that writes a path fits.
std::vector<char> writable_copy(std::string_view text)
{
    constexpr std::size_t least = 260;
    std::vector<char> buffer(std::max(text.size() + 1, least), '\0');
    std::copy(text.begin(), text.end(), buffer.begin());
    return buffer;
}

}  // namespace

void Callbacks::print(std::string_view text) const
{
    if (!routines_.print)
        return;
    const std::string ansi = ansi_from_utf8(text);
    std::vector<char> buffer = writable_copy(ansi);
    routines_.print(buffer.data(), static_cast<std::uint32_t>(ansi.size()));
}

std::optional<std::int32_t> Callbacks::ask_replace(std::string_view path) const
{
    if (!routines_.replace)
        return std::nullopt;
    std::vector<char> buffer = writable_copy(ansi_from_utf8(path));
    return routines_.replace(buffer.data());
}

std::optional<std::string> Callbacks::ask_password(std::string_view entry_name) const
{
    if (!routines_.password)
        return std::nullopt;
    constexpr std::int32_t buffer_size = 256;
    std::vector<char> buffer(buffer_size + 1, '\0');  // one more, so the answer always ends
    const std::string name = ansi_from_utf8(entry_name);
    const std::string prompt = "Enter the password for " + name + ": ";
    if (routines_.password(buffer.data(), buffer_size, prompt.c_str(), name.c_str()) != 0)
        return std::nullopt;
    return std::string(buffer.data());
}

void Callbacks::list(const ListingLine& line) const
{
    if (!routines_.SendApplicationMessage)
        return;
    std::vector<char> name = writable_copy(ansi_from_utf8(line.name));
    std::vector<char> method = writable_copy(line.method);
    routines_.SendApplicationMessage(line.size, line.compressed_size, line.compression_factor, line.month, line.day,
                                     line.year, line.hour, line.minute, line.encrypted ? '*' : ' ', name.data(),
                                     method.data(), line.crc, line.encrypted ? 'E' : ' ');
}

bool Callbacks::cancelled_before(std::string_view entry_name, std::uint32_t size) const
{
    if (!routines_.ServCallBk)
        return false;
    const std::string name = ansi_from_utf8(entry_name);
    return routines_.ServCallBk(name.c_str(), size) != 0;
}

void Callbacks::sound() const
{
    if (routines_.sound)
        routines_.sound();
}

}  // namespace unzip32
