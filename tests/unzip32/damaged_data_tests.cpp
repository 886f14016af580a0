// Entries whose data do not match their records, read straight from the archive file by the
// threads that write files, whether inflated whole or in pieces: each is refused with its reason,
// nothing of it is left on disk, and the other entries are written all the same.

#include "unzip_harness.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <tuple>

namespace unzip32_test {
namespace {

using Names = std::vector<std::string>;

struct Discard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

std::string page_text(std::size_t size = 100'000)
{
    std::string text;
    for (int i = 0; text.size() < size; ++i)
        text += "<p>riga " + std::to_string(i * 7919 % 1000) + " del catalogo</p>\n";
    return text;
}

// An archive whose first entry is `name` (`data`, compressed with `method`), followed by an
// ordinary one; libzip writes each entry's sizes in its local header.
std::string make_archive(const fs::path& path, const std::string& name, const std::string& data, zip_int32_t method)
{
    int error = 0;
    std::unique_ptr<zip_t, Discard> archive(zip_open(path.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error));
    if (!archive)
        throw std::runtime_error("cannot make " + path.string());
    const std::string other = "an ordinary file\n";
    for (const auto& [entry_name, bytes, entry_method] :
         {std::tuple{name, &data, method}, std::tuple{std::string("other.txt"), &other, ZIP_CM_DEFLATE}}) {
        zip_source_t* source = zip_source_buffer(archive.get(), bytes->data(), bytes->size(), 0);
        const zip_int64_t index = zip_file_add(archive.get(), entry_name.c_str(), source, 0);
        if (index < 0) {
            zip_source_free(source);
            throw std::runtime_error("cannot add " + entry_name);
        }
        zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index), entry_method, 0);
    }
    if (zip_close(archive.get()) != 0)
        throw std::runtime_error("cannot write " + path.string());
    archive.release();
    return read_file(path);
}

std::uint32_t u32_at(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof value);  // little-endian, as the machines here
    return value;
}

void set_u32_at(std::string& bytes, std::size_t at, std::uint32_t value)
{
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

// A field of the first entry, in its local header (at `local`) and in its directory record.
void set_first_field(std::string& bytes, std::size_t local, std::uint32_t value)
{
    set_u32_at(bytes, local, value);
    set_u32_at(bytes, bytes.find("PK\1\2") + local + 2, value);
}

void set_first_size(std::string& bytes, std::uint32_t size) { set_first_field(bytes, 22, size); }

struct Extracted {
    std::int32_t status;
    Names lines;
    Names tree;
};

Extracted extract(const fs::path& archive_path, unsigned workers)
{
    ScratchFolder target;
    Unzip unzip(archive_path, target.path());
    unzip.workers = workers;
    unzip.routines.ServCallBk = nullptr;
    const std::int32_t status = unzip.run();
    return {status, unzip.lines, tree(target.path())};
}

// The same outcome on the calling thread alone and with writing threads; `reason` is printed.
void expect_refused(const fs::path& archive_path, const std::string& name, const std::string& reason)
{
    const Extracted alone = extract(archive_path, 0);
    EXPECT_EQ(alone.status, UZ_BAD_ENTRIES);
    EXPECT_EQ(alone.tree, (Names{"other.txt"}));
    const std::string line = "error: " + name + " was not written: " + reason;
    EXPECT_TRUE(std::any_of(alone.lines.begin(), alone.lines.end(),
                            [&](const std::string& printed) { return printed.find(line) == 0; }))
        << line;
    const Extracted threaded = extract(archive_path, 2);
    EXPECT_EQ(threaded.status, alone.status);
    EXPECT_EQ(threaded.lines, alone.lines);
    EXPECT_EQ(threaded.tree, alone.tree);
}

TEST(DamagedData, DeflatedDataChangedInTheMiddleAreRefused)
{
    ScratchFolder scratch;
    const fs::path path = scratch / "changed.zip";
    std::string bytes = make_archive(path, "page.html", page_text(), ZIP_CM_DEFLATE);
    const std::size_t data = 30 + (bytes[26] & 0xFF) + (bytes[28] & 0xFF);
    const std::uint32_t compressed = u32_at(bytes, 18);
    for (std::size_t at = data + compressed / 2; at < data + compressed / 2 + 8; ++at)
        bytes[at] = static_cast<char>(~bytes[at]);
    write_file(path, bytes);
    // Damaged data or a CRC mismatch, as the changed bytes happen to decode.
    expect_refused(path, "page.html", "");
}

TEST(DamagedData, StoredDataLongerThanTheirRecordedSizeAreRefused)
{
    ScratchFolder scratch;
    const fs::path path = scratch / "long.zip";
    const std::string picture(300'000, 'x');
    std::string bytes = make_archive(path, "picture.jpg", picture, ZIP_CM_STORE);
    set_first_size(bytes, 1000);
    write_file(path, bytes);
    expect_refused(path, "picture.jpg", "it holds more data than its recorded size");
}

// Each lie told by a deflated entry, in one entry inflated whole and in one too large for that,
// inflated in pieces: both are refused with the same reason and leave nothing.
TEST(DamagedData, LyingDeflatedEntriesAreRefusedAlikeHoweverInflated)
{
    using Lie = void (*)(std::string& bytes, std::size_t data, std::uint32_t compressed, std::uint32_t size);
    const struct {
        const char* lie;
        Lie tell;
        const char* reason;
    } cases[] = {
        {"recorded size too large",
         [](std::string& bytes, std::size_t, std::uint32_t, std::uint32_t size) { set_first_size(bytes, size + 10); },
         "it holds less data than its recorded size"},
        {"recorded size too small",
         [](std::string& bytes, std::size_t, std::uint32_t, std::uint32_t size) { set_first_size(bytes, size - 1000); },
         "it holds more data than its recorded size"},
        {"wrong CRC",
         [](std::string& bytes, std::size_t, std::uint32_t, std::uint32_t) {
             set_first_field(bytes, 14, u32_at(bytes, 14) ^ 1);
         },
         "CRC mismatch"},
        {"a block of the reserved type",
         [](std::string& bytes, std::size_t data, std::uint32_t, std::uint32_t) { bytes[data] |= 0x06; },
         "damaged data"},
        {"data cut short",
         [](std::string& bytes, std::size_t, std::uint32_t compressed, std::uint32_t) {
             set_first_field(bytes, 18, compressed / 2);
         },
         "damaged data"},
    };
    // Whole up to 4 MiB; in pieces beyond.
    for (const std::size_t size : {std::size_t{100'000}, std::size_t{5'000'000}}) {
        const std::string text = page_text(size);
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.lie) + ", " + std::to_string(text.size()) + " bytes");
            ScratchFolder scratch;
            const fs::path path = scratch / "lying.zip";
            std::string bytes = make_archive(path, "page.html", text, ZIP_CM_DEFLATE);
            const std::size_t data = 30 + (bytes[26] & 0xFF) + (bytes[28] & 0xFF);
            c.tell(bytes, data, u32_at(bytes, 18), static_cast<std::uint32_t>(text.size()));
            write_file(path, bytes);
            expect_refused(path, "page.html", c.reason);
        }
    }
}

// Zeros expand a thousandfold: the entry that claims a thousand bytes stops there.
TEST(DamagedData, DeflatedDataFarLongerThanTheirRecordedSizeStopAtIt)
{
    ScratchFolder scratch;
    const fs::path path = scratch / "bomb.zip";
    std::string bytes = make_archive(path, "page.html", std::string(5'000'000, '\0'), ZIP_CM_DEFLATE);
    set_first_size(bytes, 1000);
    write_file(path, bytes);
    expect_refused(path, "page.html", "it holds more data than its recorded size");
}

// The honest twins of the entries above come out whole, both ways.
TEST(DamagedData, IntactDeflatedEntriesComeOutWholeHoweverInflated)
{
    for (const std::size_t size : {std::size_t{0}, std::size_t{100'000}, std::size_t{5'000'000}}) {
        const std::string text = size == 0 ? std::string() : page_text(size);
        SCOPED_TRACE(text.size());
        ScratchFolder scratch;
        make_archive(scratch / "intact.zip", "page.html", text, ZIP_CM_DEFLATE);
        ScratchFolder target;
        Unzip unzip(scratch / "intact.zip", target.path());
        unzip.workers = 2;
        EXPECT_EQ(unzip.run(), UZ_OK);
        EXPECT_EQ(read_file(target / "page.html"), text);
    }
}

}  // namespace
}  // namespace unzip32_test
