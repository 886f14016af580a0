#pragma once
// The folder a fuzz target works in: one per process, emptied before each input, and the check of
// what a run left in it.

#include "tests/support/temp_folder.h"

#include <filesystem>
#include <functional>
#include <string>

namespace unzip32_fuzz {

namespace fs = std::filesystem;

// Stops the process with a message, as libFuzzer counts a crash: for a rule a run broke.
[[noreturn]] void fail(const std::string& what);

class Scratch {
public:
    // The process's folder, made on first use and removed when the process ends normally.
    static Scratch& get();

    const fs::path& root() const { return folder_.path(); }
    // Removes everything in the folder.
    void empty() const;
    // Calls `visit` with every path below the folder, relative to it, and whether it is a link,
    // never following a link.
    void audit(const std::function<void(const fs::path& relative, bool is_link)>& visit) const;

private:
    Scratch() = default;
    fennimark::testing::TempFolder folder_;
};

}  // namespace unzip32_fuzz
