#pragma once
// Calling the archive library as its callers do: an option record, a callback record whose
// routines record everything the library says and answer its questions, and scratch folders.

#include "tests/support/temp_folder.h"
#include "unzip32/include/unzip32.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace unzip32_test {

namespace fs = std::filesystem;

// An archive made at build time by make_archives.py.
fs::path archive(const std::string& name);

// A folder in memory where the system has one (/dev/shm), else the temporary folder: for tests
// whose figures the disk's speed must not blur.
fs::path memory_folder();

using ScratchFolder = fennimark::testing::TempFolder;

struct ListedEntry {
    std::uint32_t size, compressed_size, factor, month, day, year, hour, minute;
    char mark;
    std::string name, method;
    std::uint32_t crc;
    char encrypted;
};

// One call of Wiz_SingleEntryUnzip. Every routine is set; tests clear the ones they want null.
class Unzip {
public:
    Unzip(const fs::path& archive, const fs::path& folder);

    std::int32_t run();

    DCL options{};
    USERFUNCTIONS routines{};
    std::vector<std::string> include;
    std::vector<std::string> exclude;

    // What the routines were given.
    std::vector<std::string> lines;  // each printed text, whole
    std::vector<std::string> replace_questions;
    std::vector<std::string> password_questions;
    std::vector<ListedEntry> listed;
    std::vector<std::string> serviced;
    std::vector<std::size_t> lines_at_service;  // how many texts had been printed at each service call
    std::optional<USERFUNCTIONS> record_at_first_call;  // the callback record as the first routine saw it
    int sounds = 0;

    // How the routines answer.
    std::deque<std::int32_t> replace_answers;  // then IDM_REPLACE_NO
    std::deque<std::optional<std::string>> passwords;  // nothing: decline; then decline
    int cancel_after = -1;  // the service routine stops the run after this many entries

    // Set: the library's inner entry is called with this many writing threads, in place of the
    // exported one (which picks one per core).
    std::optional<unsigned> workers;
    // Calls of any routine from a thread other than the one that called run().
    std::atomic<int> calls_from_other_threads{0};

    bool printed(const std::string& part) const;

    // For the routines: notes a call made on the wrong thread.
    void check_thread();

private:
    std::thread::id caller_;
    std::string archive_;
    std::string folder_;
};

// Text in the system's 8-bit code page, as the library's interface takes it.
std::string ansi(const fs::path& path);

std::string read_file(const fs::path& path);
void write_file(const fs::path& path, const std::string& bytes);
// Every name below `folder`, relative, with '/', sorted; folders end in '/'.
std::vector<std::string> tree(const fs::path& folder);
void set_modified(const fs::path& path, std::int64_t seconds_since_1970);
std::int64_t modified(const fs::path& path);
void make_read_only(const fs::path& path, bool read_only);

// How far the process's peak memory (resident) rose above what it held before `work` ran.
std::uint64_t peak_memory_growth(const std::function<void()>& work);

}  // namespace unzip32_test
