#pragma once
// The few file-system operations extraction needs, each with the same meaning on Windows (wide-
// character calls, paths that may exceed MAX_PATH) and on POSIX systems.

#include "native_text.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string_view>

namespace unzip32 {

// The separator between path components.
#ifdef _WIN32
inline constexpr NativeChar path_separator = L'\\';
#else
inline constexpr NativeChar path_separator = '/';
#endif

// The longest path the system takes, in characters: the "\\?\" form's limit on Windows.
#ifdef _WIN32
inline constexpr std::size_t longest_path = 32767;
#else
inline constexpr std::size_t longest_path = PATH_MAX - 1;
#endif

NativeString join_path(const NativeString& folder, const NativeString& name);

// Adds `name` below the folder `path`, in place: a deep path is built in time linear in its length.
inline void append_component(NativeString& path, const NativeString& name)
{
    if (!path.empty() && path.back() != path_separator)
        path += path_separator;
    path += name;
}

// The path as the file system compares names, so that two names for one file give the same text:
// on Windows upper-cased as the file system folds case (non-ASCII letters too), elsewhere as it is.
NativeString comparable_path(const NativeString& path);

// The folder as every later call should name it: absolute on Windows (in the form that lifts the
// MAX_PATH limit); the current folder when `folder` is empty.
NativeString usable_folder_path(const NativeString& folder);

struct FileInfo {
    bool exists = false;
    bool is_folder = false;
    bool is_link = false;  // a symbolic link, or on Windows any reparse point (a junction too)
    bool read_only = false;
    std::time_t modified = 0;
};
// What is at `path`, without following a link there.
FileInfo file_info(const NativeString& path);

// The bytes this user may still write on the disk that holds `folder`; nothing when the system
// does not say.
std::optional<std::uint64_t> free_space(const NativeString& folder);

// Creates one folder; true when it exists afterwards as a folder.
bool make_folder(const NativeString& path);
// Creates a folder and every missing folder above it.
bool make_folder_tree(const NativeString& path);

// A new file under a temporary name in a folder (on Linux, where the file system allows, under no
// name at all), which becomes the final file only through commit_as; otherwise it is removed
// when the object goes.
class TempFile {
public:
    static std::optional<TempFile> create_in(const NativeString& folder);
    TempFile(TempFile&& other) noexcept;
    TempFile& operator=(TempFile&&) = delete;
    TempFile(const TempFile&) = delete;
    ~TempFile();

    bool write(const char* bytes, std::size_t length);
    // Sets the modification (and access) time, then closes the file and renames it over `path`,
    // replacing what is there. On failure the temporary file is removed and `path` is untouched.
    bool commit_as(const NativeString& path, std::time_t modified);

private:
    TempFile() = default;
    void discard() noexcept;

    NativeString path_;
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    static std::optional<TempFile> create_unnamed_in(const NativeString& folder);
    bool link_unnamed_as(const NativeString& path);

    int descriptor_ = -1;
    NativeString folder_;  // where a file without a name yet lies (path_ is then empty)
#endif
};

}  // namespace unzip32
