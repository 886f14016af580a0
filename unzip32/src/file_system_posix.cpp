// The file-system operations on POSIX systems.

#include "file_system.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <utility>

namespace unzip32 {

NativeString join_path(const NativeString& folder, const NativeString& name)
{
    if (folder.empty() || folder.back() == path_separator)
        return folder + name;
    return folder + path_separator + name;
}

NativeString comparable_path(const NativeString& path)
{
    return path;
}

NativeString usable_folder_path(const NativeString& folder)
{
    return folder.empty() ? NativeString(".") : folder;
}

FileInfo file_info(const NativeString& path)
{
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0)
        return {};
    FileInfo info;
    info.exists = true;
    info.is_folder = S_ISDIR(status.st_mode);
    info.is_link = S_ISLNK(status.st_mode);
    info.read_only = S_ISREG(status.st_mode) && (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    info.modified = status.st_mtime;
    return info;
}

std::optional<std::uint64_t> free_space(const NativeString& folder)
{
    struct statvfs disk {};
    if (statvfs(folder.c_str(), &disk) != 0)
        return std::nullopt;
    const std::uint64_t block = disk.f_frsize != 0 ? disk.f_frsize : disk.f_bsize;
    const std::uint64_t blocks = disk.f_bavail;
    if (block != 0 && blocks > std::numeric_limits<std::uint64_t>::max() / block)
        return std::numeric_limits<std::uint64_t>::max();
    return blocks * block;
}

bool make_folder(const NativeString& path)
{
    if (mkdir(path.c_str(), 0777) == 0)
        return true;
    struct stat status {};
    return errno == EEXIST && lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool make_folder_tree(const NativeString& path)
{
    struct stat status {};
    if (stat(path.c_str(), &status) == 0)
        return S_ISDIR(status.st_mode);
    const std::size_t slash = path.find_last_of('/');
    if (slash != NativeString::npos) {
        const std::size_t parent_end = path.find_last_not_of('/', slash);
        if (parent_end != NativeString::npos && !make_folder_tree(path.substr(0, parent_end + 1)))
            return false;
    }
    return make_folder(path);
}

namespace {

// A name no other file in `folder` has, for this process and no other.
NativeString temporary_name_in(const NativeString& folder)
{
    static const std::string process = std::to_string(getpid());
    static std::atomic<unsigned> counter{0};
    return join_path(folder, ".unzip32-" + process + "-" + std::to_string(++counter) + ".tmp");
}

// A file made without a name is given one through its entry in /proc.
bool can_name_unnamed_files()
{
    static const bool can = access("/proc/self/fd", X_OK) == 0;
    return can;
}

}  // namespace

std::optional<TempFile> TempFile::create_in(const NativeString& folder)
{
    if (auto file = create_unnamed_in(folder))
        return file;
    for (int attempt = 0; attempt < 100; ++attempt) {
        TempFile file;
        file.path_ = temporary_name_in(folder);
        file.descriptor_ = open(file.path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (file.descriptor_ >= 0)
            return file;
        if (errno != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

// Where the system can, the file is made without a name: nothing of it shows in the folder until
// it is complete, nothing is left behind if the process dies, and it takes its real name in one
// step where none is there yet.
std::optional<TempFile> TempFile::create_unnamed_in([[maybe_unused]] const NativeString& folder)
{
#ifdef O_TMPFILE
    if (!can_name_unnamed_files())
        return std::nullopt;
    TempFile file;
    file.descriptor_ = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (file.descriptor_ < 0)
        return std::nullopt;  // not on this file system: the file gets a temporary name instead
    file.folder_ = folder;
    return file;
#else
    return std::nullopt;
#endif
}

TempFile::TempFile(TempFile&& other) noexcept
    : path_(std::move(other.path_)),
      descriptor_(std::exchange(other.descriptor_, -1)),
      folder_(std::move(other.folder_))
{
    other.path_.clear();
    other.folder_.clear();
}

TempFile::~TempFile() { discard(); }

void TempFile::discard() noexcept
{
    if (descriptor_ >= 0)
        close(descriptor_);
    descriptor_ = -1;
    if (!path_.empty())
        unlink(path_.c_str());
    path_.clear();
    folder_.clear();
}

bool TempFile::write(const char* bytes, std::size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(descriptor_, bytes, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

bool TempFile::commit_as(const NativeString& path, std::time_t modified)
{
    const timespec times[2] = {{modified, 0}, {modified, 0}};
    const bool written = futimens(descriptor_, times) == 0;
    if (path_.empty()) {
        if (!written || !link_unnamed_as(path)) {
            discard();
            return false;
        }
        return true;
    }
    const bool closed = close(std::exchange(descriptor_, -1)) == 0;
    if (!written || !closed || rename(path_.c_str(), path.c_str()) != 0) {
        discard();
        return false;
    }
    path_.clear();
    return true;
}

// Gives the unnamed file the name `path`, replacing what is there; closes it once named.
bool TempFile::link_unnamed_as(const NativeString& path)
{
    const std::string self = "/proc/self/fd/" + std::to_string(descriptor_);
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        if (close(std::exchange(descriptor_, -1)) == 0)
            return true;
        unlink(path.c_str());  // the name was made just now, for a file that may be incomplete
        return false;
    }
    if (errno != EEXIST)
        return false;
    // Something is there: the file takes a temporary name, which then replaces it in one step.
    for (int attempt = 0; attempt < 100; ++attempt) {
        NativeString temporary = temporary_name_in(folder_);
        if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            path_ = std::move(temporary);  // removed by discard() if anything below fails
            const bool closed = close(std::exchange(descriptor_, -1)) == 0;
            if (!closed || rename(path_.c_str(), path.c_str()) != 0)
                return false;
            path_.clear();
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

}  // namespace unzip32
