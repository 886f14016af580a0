#pragma once
// A guard libzip does not have: the bytes of every entry (local header and data) must lie apart
// from those of every other entry and before the central directory. Entries that share bytes are
// how a small archive expands to an enormous amount of data (a "zip bomb"), and no honest
// archiver writes them.

#include "archive.h"

#include <cstdint>
#include <string>
#include <vector>

namespace unzip32 {

enum class SpanVerdict {
    apart,       // every entry has bytes of its own
    overlap,     // two entries share bytes
    unreadable,  // the directory or a local header cannot be read, or disagrees with libzip's
};

struct SpanCheck {
    SpanVerdict verdict = SpanVerdict::apart;
    std::string detail;  // for the message: what was found, in English
    std::vector<std::uint64_t> data_offsets = {};  // when apart: where each entry's data begin, by index
};

// Reads the central directory and every local header of the archive at `path`, which libzip has
// opened as `archive`. The directory read is the one whose entries are libzip's, index by index
// (names, sizes, CRCs), so that what is extracted here is what libzip would read and test; none is
// unreadable.
SpanCheck check_entry_spans(const NativeString& path, zip_t* archive);

// True when the file at `path` ends in what looks like an end-of-central-directory record: a file
// that libzip finds no archive in is then a damaged archive rather than none.
bool holds_end_record(const NativeString& path);

}  // namespace unzip32
