// What this machine allows, for comparison with the extraction: every entry inflated into memory
// and dropped, no files (through libzip and zlib, or as our library reads: the raw data read at
// their offset, deflated entries of up to 4 MiB inflated whole with libdeflate and the larger ones
// with zlib, every CRC computed), or files of the entries' names and sizes written from memory (no
// inflating). Each thread of N takes every Nth entry and reads the archive through a handle of its
// own.
//
//   unzip32_bench_floor inflate|inflate-whole ARCHIVE THREADS
//   unzip32_bench_floor write ARCHIVE THREADS FOLDER

#include <libdeflate.h>
#include <zip.h>
#include <zlib.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
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

struct DecompressorFree {
    void operator()(libdeflate_decompressor* decompressor) const noexcept { libdeflate_free_decompressor(decompressor); }
};

std::uint32_t u32_at(const unsigned char* bytes) { return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | bytes[3] << 24u; }
std::uint16_t u16_at(const unsigned char* bytes) { return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8); }

bool read_at(int file, std::uint64_t offset, void* out, std::size_t length)
{
    return pread(file, out, length, static_cast<off_t>(offset)) == static_cast<ssize_t>(length);
}

struct RawEntry {
    std::uint64_t header_offset, compressed_size, size;
    std::uint32_t crc;
    std::uint16_t method;
};

// The entries as the central directory records them (no ZIP64, no comment: the benchmark's own
// archives).
std::vector<RawEntry> central_directory(int file)
{
    const off_t end = lseek(file, 0, SEEK_END);
    unsigned char tail[22];
    if (end < 22 || !read_at(file, static_cast<std::uint64_t>(end - 22), tail, sizeof tail) ||
        u32_at(tail) != 0x06054b50)
        return {};
    std::vector<unsigned char> records(u32_at(tail + 12));
    if (!read_at(file, u32_at(tail + 16), records.data(), records.size()))
        return {};
    std::vector<RawEntry> entries;
    for (std::size_t at = 0; at + 46 <= records.size() && u32_at(&records[at]) == 0x02014b50;) {
        const unsigned char* record = &records[at];
        entries.push_back({u32_at(record + 42), u32_at(record + 20), u32_at(record + 24), u32_at(record + 16),
                           u16_at(record + 10)});
        at += 46 + u16_at(record + 28) + u16_at(record + 30) + u16_at(record + 32);
    }
    return entries;
}

bool inflate_in_pieces(const std::vector<unsigned char>& raw, std::uint64_t size, std::uint32_t& crc)
{
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    std::vector<unsigned char> out(256 * 1024);
    stream.next_in = const_cast<unsigned char*>(raw.data());
    stream.avail_in = static_cast<uInt>(raw.size());
    int status = Z_OK;
    std::uint64_t total = 0;
    do {
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(out.size());
        status = inflate(&stream, Z_NO_FLUSH);
        total += out.size() - stream.avail_out;
        crc = libdeflate_crc32(crc, out.data(), out.size() - stream.avail_out);
    } while (status == Z_OK);
    inflateEnd(&stream);
    return status == Z_STREAM_END && total == size;
}

// Our library's reading without its writing.
bool inflate_whole_share(const char* archive_path, unsigned share, unsigned shares)
{
    const Descriptor file(open(archive_path, O_RDONLY | O_CLOEXEC));
    if (file.get() < 0)
        return false;
    const std::unique_ptr<libdeflate_decompressor, DecompressorFree> decompressor(libdeflate_alloc_decompressor());
    const std::vector<RawEntry> entries = central_directory(file.get());
    if (entries.empty() || !decompressor)
        return false;
    std::vector<unsigned char> raw;
    std::vector<unsigned char> out;
    for (std::size_t index = share; index < entries.size(); index += shares) {
        const RawEntry& entry = entries[index];
        unsigned char header[30];
        if (!read_at(file.get(), entry.header_offset, header, sizeof header))
            return false;
        raw.resize(entry.compressed_size);
        if (!read_at(file.get(), entry.header_offset + 30 + u16_at(header + 26) + u16_at(header + 28), raw.data(),
                     raw.size()))
            return false;
        std::uint32_t crc = 0;
        if (entry.method == 0) {
            crc = libdeflate_crc32(0, raw.data(), raw.size());
        } else if (entry.size <= 4 * 1024 * 1024) {
            out.resize(entry.size);
            std::size_t produced = 0;
            if (libdeflate_deflate_decompress(decompressor.get(), raw.data(), raw.size(), out.data(), out.size(),
                                              &produced) != LIBDEFLATE_SUCCESS ||
                produced != entry.size)
                return false;
            crc = libdeflate_crc32(0, out.data(), produced);
        } else if (!inflate_in_pieces(raw, entry.size, crc)) {
            return false;
        }
        if (crc != entry.crc)
            return false;
    }
    return true;
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
    if (!(((mode == "inflate" || mode == "inflate-whole") && argc == 4) || (mode == "write" && argc == 5))) {
        std::fprintf(stderr, "usage: %s inflate|inflate-whole ARCHIVE THREADS | write ARCHIVE THREADS FOLDER\n",
                     argv[0]);
        return 2;
    }
    const unsigned shares = static_cast<unsigned>(std::max(1, std::atoi(argv[3])));
    const std::string folder = mode == "write" ? argv[4] : "";
    std::atomic<bool> failed{false};
    std::vector<std::thread> threads;
    for (unsigned share = 0; share < shares; ++share) {
        threads.emplace_back([&, share] {
            if (!(mode == "inflate-whole" ? inflate_whole_share(argv[2], share, shares)
                                          : run_share(argv[2], mode, folder, share, shares)))
                failed = true;
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    return failed ? 1 : 0;
}
