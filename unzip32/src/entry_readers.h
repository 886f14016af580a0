#pragma once
// The ways of reading entries, for one thread at a time: stored and deflated entries straight
// from the archive file, every other one (encrypted, or compressed otherwise) through libzip, on
// a handle opened when first needed.

#include "archive.h"
#include "entry_inflater.h"
#include "entry_reader.h"
#include "raw_file.h"

#include <cstdint>
#include <optional>
#include <string>

namespace unzip32 {

class EntryReaders {
public:
    // `archive`: a libzip handle this thread may use, or null to open one of its own if needed.
    EntryReaders(const NativeString& archive_path, zip_t* archive);

    // `data_offset`: where the entry's data begin, when known.
    ReadResult read(const EntryInfo& entry, std::optional<std::uint64_t> data_offset,
                    const std::optional<std::string>& password, const DataSink& sink);

private:
    NativeString archive_path_;
    zip_t* archive_;
    ArchiveHandle own_archive_;
    std::optional<EntryReader> reader_;
    std::optional<RawFile> raw_file_;
    std::optional<EntryInflater> inflater_;
};

}  // namespace unzip32
