// Reading the archive at given offsets on Windows: each read names its offset, so threads that
// share nothing but the file never move a common position.

#include "raw_file.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace unzip32 {

std::optional<RawFile> RawFile::open(const NativeString& path)
{
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    RawFile file;
    file.handle_ = handle;
    return file;
}

RawFile::RawFile(RawFile&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

RawFile::~RawFile()
{
    if (handle_ != nullptr)
        CloseHandle(static_cast<HANDLE>(handle_));
}

bool RawFile::read_at(std::uint64_t offset, char* out, std::size_t length)
{
    while (length > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(length, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(static_cast<HANDLE>(handle_), out, wanted, &got, &at) || got == 0)
            return false;
        out += got;
        offset += got;
        length -= got;
    }
    return true;
}

}  // namespace unzip32
