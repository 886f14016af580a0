#pragma once
// The archive file read at given offsets, for threads that each read entries' raw data where the
// entries' check found them, with no libzip handle of their own.

#include "native_text.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace unzip32 {

class RawFile {
public:
    static std::optional<RawFile> open(const NativeString& path);
    RawFile(RawFile&& other) noexcept;
    RawFile& operator=(RawFile&&) = delete;
    RawFile(const RawFile&) = delete;
    ~RawFile();

    // Exactly `length` bytes from `offset`; false when the file does not give them all.
    bool read_at(std::uint64_t offset, char* out, std::size_t length);

private:
    RawFile() = default;

#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int descriptor_ = -1;
#endif
};

}  // namespace unzip32
