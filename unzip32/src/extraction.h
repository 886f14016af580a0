#pragma once
// Extracting the selected entries into the target folder, safely: every path stays inside the
// folder, and each file reaches its real name only complete and checked. Everything is decided on
// the calling thread, in the archive's order; the files' data are written by worker threads.

#include "archive.h"
#include "file_system.h"
#include "ordered_writes.h"
#include "replace_policy.h"
#include "run_context.h"
#include "safe_name.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace unzip32 {

class Extraction {
public:
    // `data_offsets`: where each entry's data begin, by index, as the entries' check found them.
    // `workers`: how many threads write files (none: all on the calling thread).
    Extraction(const RunContext& run, const NativeString& archive_path, const std::vector<std::uint64_t>& data_offsets,
               unsigned workers);

    // Creates the target folder when it is missing; false (status set) when it cannot be.
    bool prepare_target();
    void extract(const EntryInfo& entry);
    // Reports every file still being written, once the last entry has been handed over.
    void settle() { writes_.settle(); }

private:
    struct Folder {
        std::optional<NativeString> path;  // empty when the folder cannot be used
        bool is_link = false;              // ... because a link is in its place
    };

    // The folder that holds the first `depth` components of `name`, made where missing.
    Folder folder_for(const SafeName& name, std::size_t depth);
    // False (message and status given) when the entry cannot fit on the disk that holds `folder`.
    bool fits_on_disk(const EntryInfo& entry, const NativeString& folder, const std::string& shown);
    void extract_folder(const SafeName& name);
    void extract_file(const EntryInfo& entry, const SafeName& name);
    // Where `name` lands, built in time linear in its length.
    NativeString path_of(const SafeName& name) const;
    void report_write(const WriteResult& result, const std::string& shown, bool replaced);
    std::optional<std::string> password_for(const EntryInfo& entry, const std::string& shown);
    void report_failure(const ReadResult& result, const std::string& shown);
    std::string shown_path(const std::string& shown) const;

    const RunContext& run_;
    const std::vector<std::uint64_t>& data_offsets_;
    NativeString target_;
    // The folders of the last path made ready, from the target down, each one known to be a folder.
    // Only one path is kept, so that memory does not grow with every folder made: entries mostly
    // come folder by folder, and any other folder is simply looked at again.
    std::vector<NativeString> ready_folders_;
    ReplacePolicy replace_policy_;
    OrderedWrites writes_;
};

}  // namespace unzip32
