// Reading the archive at given offsets on POSIX systems.

#include "raw_file.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace unzip32 {

std::optional<RawFile> RawFile::open(const NativeString& path)
{
    RawFile file;
    file.descriptor_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file.descriptor_ < 0)
        return std::nullopt;
    return file;
}

RawFile::RawFile(RawFile&& other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}

RawFile::~RawFile()
{
    if (descriptor_ >= 0)
        close(descriptor_);
}

bool RawFile::read_at(std::uint64_t offset, char* out, std::size_t length)
{
    while (length > 0) {
        const ssize_t got = pread(descriptor_, out, length, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        out += got;
        offset += static_cast<std::uint64_t>(got);
        length -= static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace unzip32
