// What this machine allows, for comparison with the extraction: every entry inflated into memory
// and dropped (libzip and zlib, no files), or files of the entries' names and sizes written from
// memory (no inflating). Each thread of N takes every Nth entry and reads the archive through a
// handle of its own.
//
//   unzip32_bench_floor inflate ARCHIVE THREADS
//   unzip32_bench_floor write ARCHIVE THREADS FOLDER

#include <zip.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

struct ArchiveCloser {
    void operator()(zip_t* archive) const noexcept { zip_discard(archive); }
};
using ArchiveHandle = std::unique_ptr<zip_t, ArchiveCloser>;
struct EntryCloser {
    void operator()(zip_file_t* file) const noexcept { zip_fclose(file); }
};
using EntryHandle = std::unique_ptr<zip_file_t, EntryCloser>;

class Descriptor {
public:
    explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
    ~Descriptor()
    {
        if (descriptor_ >= 0)
            close(descriptor_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return descriptor_; }

private:
    int descriptor_;
};

constexpr std::size_t chunk_size = 64 * 1024;

ArchiveHandle open_archive(const char* path)
{
    int error = 0;
    return ArchiveHandle(zip_open(path, ZIP_RDONLY, &error));
}

bool inflate_entry(zip_t* archive, zip_uint64_t index, std::vector<char>& buffer)
{
    const EntryHandle file(zip_fopen_index(archive, index, 0));
    if (!file)
        return false;
    zip_int64_t got = 0;
    while ((got = zip_fread(file.get(), buffer.data(), buffer.size())) > 0) {
    }
    return got == 0;
}

// Every folder above `path` (relative to `root`), made where missing; threads may race to make
// the same one.
void make_parents(const std::string& root, const std::string& name)
{
    for (std::size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', slash + 1))
        mkdir((root + "/" + name.substr(0, slash)).c_str(), 0777);
}

bool write_file(const std::string& path, zip_uint64_t size, const std::vector<char>& bytes)
{
    const Descriptor file(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (file.get() < 0)
        return false;
    while (size > 0) {
        const std::size_t length = size < bytes.size() ? static_cast<std::size_t>(size) : bytes.size();
        const ssize_t written = write(file.get(), bytes.data(), length);
        if (written <= 0)
            return false;
        size -= static_cast<zip_uint64_t>(written);
    }
    return true;
}

bool run_share(const char* archive_path, const std::string& mode, const std::string& folder, unsigned share,
               unsigned shares)
{
    const ArchiveHandle archive = open_archive(archive_path);
    if (!archive)
        return false;
    std::vector<char> buffer(chunk_size);
    std::mt19937 random(share);
    for (char& byte : buffer)
        byte = static_cast<char>(random());
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t index = share; index < count; index += shares) {
        zip_stat_t stat;
        if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(index), 0, &stat) != 0)
            return false;
        const std::string name = stat.name;
        if (mode == "inflate") {
            if (!inflate_entry(archive.get(), static_cast<zip_uint64_t>(index), buffer))
                return false;
            continue;
        }
        make_parents(folder, name);
        if (!name.empty() && name.back() == '/')
            continue;
        if (!write_file(folder + "/" + name, stat.size, buffer))
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (!((mode == "inflate" && argc == 4) || (mode == "write" && argc == 5))) {
        std::fprintf(stderr, "usage: %s inflate ARCHIVE THREADS | write ARCHIVE THREADS FOLDER\n", argv[0]);
        return 2;
    }
    const unsigned shares = static_cast<unsigned>(std::max(1, std::atoi(argv[3])));
    const std::string folder = mode == "write" ? argv[4] : "";
    std::atomic<bool> failed{false};
    std::vector<std::thread> threads;
    for (unsigned share = 0; share < shares; ++share) {
        threads.emplace_back([&, share] {
            if (!run_share(argv[2], mode, folder, share, shares))
                failed = true;
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    return failed ? 1 : 0;
}
