#pragma once
// Whether a file about to be written may take the place of the one on disk: the options
// ExtractOnlyNewer, nfflag, noflag and PromptToOverwrite, and the caller's answers, some of which
// hold for the rest of the run.

#include "callbacks.h"
#include "file_system.h"
#include "options.h"

#include <ctime>
#include <string>
#include <string_view>

namespace unzip32 {

struct ReplaceVerdict {
    bool write = true;
    bool warn = false;   // the file is left although nothing asked for it: a warning
    std::string reason;  // why it is left, in English
};

class ReplacePolicy {
public:
    ReplacePolicy(const Options& options, const Callbacks& callbacks) : options_(options), callbacks_(callbacks) {}

    // `shown_path` names the file to the caller's replace routine.
    ReplaceVerdict decide(const FileInfo& on_disk, std::time_t entry_modified, std::string_view shown_path);

private:
    const Options& options_;
    const Callbacks& callbacks_;
    bool overwrite_all_ = false;
    bool overwrite_none_ = false;
};

}  // namespace unzip32
