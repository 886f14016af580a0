#pragma once
// The part of extracting one file that needs no word from the caller: its data inflated into a
// new file under a temporary name, which is then renamed over the file's real name. It may run on
// any thread, with an archive handle of its own.

#include "archive.h"
#include "entry_inflater.h"
#include "entry_reader.h"
#include "native_text.h"

#include <optional>
#include <string>

namespace unzip32 {

struct WriteJob {
    EntryInfo entry;
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

// The ways of reading entries through one archive handle, for one thread at a time.
struct EntryReaders {
    explicit EntryReaders(zip_t* archive) : inflater(archive), reader(archive) {}
    EntryInflater inflater;  // most entries
    EntryReader reader;      // the others, and those libzip cannot open raw
};

WriteResult write_entry(EntryReaders& readers, const WriteJob& job);

}  // namespace unzip32
