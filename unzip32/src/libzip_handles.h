#pragma once
// Owners for libzip's objects.

#include <zip.h>

#include <memory>

namespace unzip32 {

struct ArchiveCloser {
    // The archive is only read: discarding it writes nothing back.
    void operator()(zip_t* archive) const noexcept { zip_discard(archive); }
};
struct EntryFileCloser {
    void operator()(zip_file_t* file) const noexcept { zip_fclose(file); }
};
struct SourceFreer {
    void operator()(zip_source_t* source) const noexcept { zip_source_free(source); }
};

using ArchiveHandle = std::unique_ptr<zip_t, ArchiveCloser>;
using EntryFileHandle = std::unique_ptr<zip_file_t, EntryFileCloser>;
using SourceHandle = std::unique_ptr<zip_source_t, SourceFreer>;

// A libzip error record that is always released.
class ZipError {
public:
    ZipError() { zip_error_init(&error_); }
    ~ZipError() { zip_error_fini(&error_); }
    ZipError(const ZipError&) = delete;
    ZipError& operator=(const ZipError&) = delete;

    zip_error_t* get() { return &error_; }
    int code() const { return error_.zip_err; }

private:
    zip_error_t error_;
};

}  // namespace unzip32
