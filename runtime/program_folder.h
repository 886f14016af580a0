#pragma once

#include <optional>
#include <string>

namespace fennimark::runtime {

// The folder that holds the running program file, without a trailing backslash (unless it is the
// root of a drive).
std::wstring program_folder();

// Makes program_folder() answer `folder` for as long as the object lives (for tests).
class ScopedProgramFolder {
public:
    explicit ScopedProgramFolder(std::wstring folder);
    ~ScopedProgramFolder();
    ScopedProgramFolder(const ScopedProgramFolder&) = delete;
    ScopedProgramFolder& operator=(const ScopedProgramFolder&) = delete;

private:
    std::optional<std::wstring> previous_;
};

}  // namespace fennimark::runtime
