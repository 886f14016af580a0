#pragma once
// File systems a test mounts for itself, as root: a small memory disk, and a read-only view of a
// folder (root ignores file modes, but not a read-only mount). Each is unmounted when it goes.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace unzip32_test {

class Mount {
public:
    // A memory file system of `bytes` at `folder` (made when missing); nothing when this machine
    // does not let the test mount, with the reason in `why`.
    static std::optional<Mount> memory_disk(const std::filesystem::path& folder, std::uint64_t bytes, std::string& why);
    // `folder` seen read-only at the same place.
    static std::optional<Mount> read_only(const std::filesystem::path& folder, std::string& why);

    Mount(Mount&& other) noexcept;
    Mount& operator=(Mount&&) = delete;
    ~Mount();

private:
    explicit Mount(std::filesystem::path folder) : folder_(std::move(folder)) {}
    std::filesystem::path folder_;
};

// The bytes still free on the file system that holds `path`.
std::uint64_t free_bytes(const std::filesystem::path& path);

}  // namespace unzip32_test
