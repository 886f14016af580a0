#pragma once
// A folder of its own for one test, removed afterwards with all it holds (read-only items
// included; a link inside is removed as a link, never followed; trees thousands of folders deep
// too). Built for Windows and natively.

#include <filesystem>

namespace fennimark::testing {

class TempFolder {
public:
    // In the system's temporary folder, or in `base`.
    TempFolder();
    explicit TempFolder(const std::filesystem::path& base);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace fennimark::testing
