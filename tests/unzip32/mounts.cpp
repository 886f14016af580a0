#include "mounts.h"

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/statvfs.h>

namespace unzip32_test {

std::optional<Mount> Mount::memory_disk(const std::filesystem::path& folder, std::uint64_t bytes, std::string& why)
{
    std::filesystem::create_directories(folder);
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    if (mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        why = std::string("cannot mount a memory file system here: ") + std::strerror(errno);
        return std::nullopt;
    }
    return Mount(folder);
}

std::optional<Mount> Mount::read_only(const std::filesystem::path& folder, std::string& why)
{
    if (mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0) {
        why = std::string("cannot bind-mount a folder here: ") + std::strerror(errno);
        return std::nullopt;
    }
    Mount bound(folder);
    if (mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        why = std::string("cannot make a mount read-only here: ") + std::strerror(errno);
        return std::nullopt;
    }
    return bound;
}

Mount::Mount(Mount&& other) noexcept : folder_(std::move(other.folder_))
{
    other.folder_.clear();
}

Mount::~Mount()
{
    if (!folder_.empty())
        umount2(folder_.c_str(), MNT_DETACH);
}

std::uint64_t free_bytes(const std::filesystem::path& path)
{
    struct statvfs disk {};
    if (statvfs(path.c_str(), &disk) != 0)
        return 0;
    return static_cast<std::uint64_t>(disk.f_bavail) * disk.f_frsize;
}

}  // namespace unzip32_test
