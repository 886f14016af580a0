#include "version.h"

#include <zlib.h>
// zlib.h names a macro after the version record's field.
#undef zlib_version

#include <algorithm>
#include <cstring>
#include <string_view>

namespace unzip32 {
namespace {

constexpr std::uint32_t flag_uses_zlib = 2;

// Fills a fixed field from the left, cut where needed, always zero-terminated within it.
template <std::size_t N>
void fill_text(char (&field)[N], std::string_view text)
{
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

}  // namespace

void fill_version(UzpVer2& version)
{
    constexpr UzpVersionNumber ours{UNZIP32_VERSION_MAJOR, UNZIP32_VERSION_MINOR, UNZIP32_VERSION_PATCH, 0};
    version.flag = flag_uses_zlib;
    fill_text(version.betalevel, "");
    fill_text(version.date, UNZIP32_VERSION_DATE);
    fill_text(version.zlib_version, zlibVersion());
    version.unzip = ours;
    version.zipinfo = ours;
    version.os2dll = UzpVersionNumber{};
    version.windll = ours;
}

}  // namespace unzip32
