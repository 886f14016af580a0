// Extraction with files written on several threads: the caller hears of every entry on its own
// thread and in the archive's order, and what ends up on disk, the messages, the questions and the
// status are those of extraction on the calling thread alone.

#include "unzip_harness.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <deque>
#include <map>
#include <memory>
#include <random>

namespace unzip32_test {
namespace {

using Names = std::vector<std::string>;

// An archive of the kind extraction must keep in order: many files of many sizes (some larger
// than one read), stored and deflated, in a few folders, and among them the awkward cases: a name
// that comes twice, two names that differ in case only, a file whose name a later entry needs as
// a folder, a name that points outside, a damaged entry, an empty file, a folder entry.
class MixedArchive {
public:
    explicit MixedArchive(const fs::path& path) : path_(path)
    {
        int error = 0;
        archive_.reset(zip_open(path.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error));
        if (!archive_)
            throw std::runtime_error("cannot make " + path.string());
        std::mt19937 random(8);
        for (int i = 0; i < 300; ++i) {
            if (i % 10 == 9)
                add("pictures/pic" + std::to_string(i) + ".bin", noise(random, picture_size(i)), ZIP_CM_STORE);
            else
                add("pages/p" + std::to_string(i % 7) + "/page" + std::to_string(i) + ".html", text(i), ZIP_CM_DEFLATE);
            if (i == 40)
                add("dup.txt", "first\n", ZIP_CM_DEFLATE);
            if (i == 41)
                add("./dup.txt", "second\n", ZIP_CM_DEFLATE);  // the same file, once made safe
            if (i == 100) {
                add("Case.txt", "upper\n", ZIP_CM_DEFLATE);
                add("case.txt", "lower\n", ZIP_CM_DEFLATE);
            }
            if (i == 150)
                add("x", "a file\n", ZIP_CM_STORE);
            if (i == 151)
                add("x/inner.txt", "needs x as a folder\n", ZIP_CM_DEFLATE);
            if (i == 200) {
                add("../escape.txt", "kept inside\n", ZIP_CM_DEFLATE);
                add("bad.bin", damaged_marker, ZIP_CM_STORE);
                add("zero.txt", "", ZIP_CM_DEFLATE);
                zip_dir_add(archive_.get(), "empty", ZIP_FL_ENC_UTF_8);
            }
        }
        if (zip_close(archive_.get()) != 0)
            throw std::runtime_error("cannot write " + path.string());
        archive_.release();  // closed
        damage();
    }

private:
    static constexpr const char* damaged_marker = "these stored bytes get one of them changed";

    // A few are larger than the pieces the library reads at once.
    static std::size_t picture_size(int i) { return i % 100 == 99 ? 300'000 : 1000 + (i * 7919) % 40000; }

    static std::string text(int i)
    {
        std::string page = "<html><body><h1>Page " + std::to_string(i) + "</h1>";
        while (page.size() < static_cast<std::size_t>(100 + (i * 3571) % 12000))
            page += "<p>word " + std::to_string(page.size() % 977) + " and more words</p>\n";
        return page;
    }

    static std::string noise(std::mt19937& random, std::size_t size)
    {
        std::string bytes(size, '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(random());
        return bytes;
    }

    void add(const std::string& name, std::string data, zip_int32_t method)
    {
        const std::string& kept = data_.emplace_back(std::move(data));
        zip_source_t* source = zip_source_buffer(archive_.get(), kept.data(), kept.size(), 0);
        const zip_int64_t index = zip_file_add(archive_.get(), name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            throw std::runtime_error("cannot add " + name);
        }
        zip_set_file_compression(archive_.get(), static_cast<zip_uint64_t>(index), method, 0);
        zip_file_set_mtime(archive_.get(), static_cast<zip_uint64_t>(index), 1'700'000'000, 0);
    }

    // A stored entry's bytes lie in the archive as they are: change one, and its CRC no longer holds.
    void damage()
    {
        std::string bytes = read_file(path_);
        const std::size_t at = bytes.find(damaged_marker);
        if (at == std::string::npos)
            throw std::runtime_error("the entry to damage is missing");
        bytes[at] ^= 0x20;
        write_file(path_, bytes);
    }

    struct Discard {
        void operator()(zip_t* archive) const { zip_discard(archive); }
    };
    fs::path path_;
    std::unique_ptr<zip_t, Discard> archive_;
    std::deque<std::string> data_;
};

struct Outcome {
    std::int32_t status = 0;
    Names lines;
    Names questions;
    std::map<std::string, std::string> files;  // every file written, by name, with its bytes
};

// The target gets a few files beforehand, so that some entries replace them.
void prepare(const fs::path& target)
{
    fs::create_directories(target / "pages" / "p3");
    write_file(target / "pages" / "p3" / "page10.html", "old page");
    write_file(target / "dup.txt", "older still");
    write_file(target / "pages" / "p3" / "page24.html", "old page");
}

Outcome extract(const fs::path& archive_path, unsigned workers, const std::function<void(Unzip&)>& configure)
{
    ScratchFolder target;
    prepare(target.path());
    Unzip unzip(archive_path, target.path());
    unzip.workers = workers;
    unzip.routines.ServCallBk = nullptr;  // as the installer: no routine to call before each entry
    configure(unzip);
    Outcome outcome;
    outcome.status = unzip.run();
    EXPECT_EQ(unzip.calls_from_other_threads, 0) << workers << " workers";
    // The paths in the questions name the scratch folder, which differs from run to run.
    for (const std::string& question : unzip.replace_questions)
        outcome.questions.push_back(fs::path(question).filename().string());
    for (const std::string& line : unzip.lines)
        outcome.lines.push_back(line);
    for (const std::string& name : tree(target.path())) {
        EXPECT_EQ(name.find(".unzip32-"), std::string::npos) << "a temporary file is left: " << name;
        if (name.back() != '/')
            outcome.files[name] = read_file(target / name);
    }
    return outcome;
}

void expect_same_as_on_one_thread(const std::function<void(Unzip&)>& configure)
{
    ScratchFolder scratch;
    const fs::path archive_path = scratch / "mixed.zip";
    MixedArchive make(archive_path);
    const Outcome alone = extract(archive_path, 0, configure);
    for (const unsigned workers : {1u, 2u, 4u}) {
        const Outcome outcome = extract(archive_path, workers, configure);
        EXPECT_EQ(outcome.status, alone.status) << workers << " workers";
        EXPECT_EQ(outcome.lines, alone.lines) << workers << " workers";
        EXPECT_EQ(outcome.questions, alone.questions) << workers << " workers";
        EXPECT_TRUE(outcome.files == alone.files) << workers << " workers";
    }
}

TEST(ParallelExtraction, OverwritingAsTheInstallerDoesGivesWhatOneThreadGives)
{
    expect_same_as_on_one_thread([](Unzip& unzip) {
        unzip.options.PromptToOverwrite = 1;
        unzip.options.noflag = 1;
    });
}

TEST(ParallelExtraction, QuestionsComeInTheArchivesOrderWithTheSameAnswersAndResults)
{
    expect_same_as_on_one_thread([](Unzip& unzip) {
        unzip.options.PromptToOverwrite = 1;
        unzip.options.noflag = 0;
        unzip.replace_answers = {IDM_REPLACE_NO, IDM_REPLACE_YES, IDM_REPLACE_YES, IDM_REPLACE_ALL};
    });
}

TEST(ParallelExtraction, QuietRunsAndLeftFilesGiveWhatOneThreadGives)
{
    expect_same_as_on_one_thread([](Unzip& unzip) { unzip.options.fQuiet = 1; });
    expect_same_as_on_one_thread([](Unzip& unzip) { unzip.options.noflag = 0; });
}

TEST(ParallelExtraction, TheCallerHearsOfEveryEntryInTheArchivesOrder)
{
    ScratchFolder scratch;
    const fs::path archive_path = scratch / "mixed.zip";
    MixedArchive make(archive_path);
    ScratchFolder target;
    Unzip unzip(archive_path, target.path());
    unzip.workers = 2;
    unzip.routines.ServCallBk = nullptr;
    EXPECT_EQ(unzip.run(), UZ_DISK_FULL);  // "x" is a file, so "x/inner.txt" has no folder
    EXPECT_EQ(unzip.calls_from_other_threads, 0);

    // Each message names its entry; read in order, they follow the archive's entries.
    int error = 0;
    zip_t* archive = zip_open(archive_path.string().c_str(), ZIP_RDONLY, &error);
    ASSERT_NE(archive, nullptr);
    std::size_t line = 0;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        std::string name = zip_get_name(archive, static_cast<zip_uint64_t>(i), 0);
        if (name == "../escape.txt" || name == "./dup.txt")
            name = name.substr(name.find('/') + 1);
        if (name.back() == '/')
            name.pop_back();
        while (line < unzip.lines.size() && unzip.lines[line].find(name) == std::string::npos)
            ++line;
        EXPECT_LT(line, unzip.lines.size()) << name << " is not mentioned after the entries before it";
    }
    zip_discard(archive);
    EXPECT_TRUE(unzip.printed("error: bad.bin was not written: CRC mismatch"));
    EXPECT_EQ(read_file(target / "dup.txt"), "second\n");
    EXPECT_FALSE(fs::exists(target / "bad.bin"));
    EXPECT_EQ(unzip.sounds, 1);
}

}  // namespace
}  // namespace unzip32_test
