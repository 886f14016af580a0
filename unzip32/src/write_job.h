#pragma once
// The part of extracting one file that needs no word from the caller: its data inflated into a
// new file under a temporary name, which is then renamed over the file's real name. It may run on
// any thread, with an archive handle of its own.

#include "archive.h"
#include "entry_readers.h"
#include "native_text.h"

#include <cstdint>
#include <optional>
#include <string>

namespace unzip32 {

struct WriteJob {
    EntryInfo entry;
    std::optional<std::uint64_t> data_offset;  // where the entry's data begin in the archive
    NativeString folder;  // exists already
    NativeString path;    // the file's real name in `folder`
    std::optional<std::string> password;
};

enum class WriteOutcome {
    written,
    not_created,    // the temporary file could not be made
    read_failed,    // see `read`
    not_committed,  // the finished file could not take its real name
};

struct WriteResult {
    WriteOutcome outcome = WriteOutcome::written;
    ReadResult read;
};

WriteResult write_entry(EntryReaders& readers, const WriteJob& job);

}  // namespace unzip32
