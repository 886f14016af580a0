#pragma once
// Reading one entry's data whole, checked: its CRC (libzip checks it when the data end) and its
// recorded size, which the data may never exceed, so that an entry can expand only as far as its
// directory record says.

#include "archive.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace unzip32 {

enum class ReadOutcome {
    complete,
    bad_data,        // CRC mismatch, damaged data, a size that does not match
    unsupported,     // compression or encryption libzip cannot handle
    wrong_password,
    sink_failed,     // the receiver of the data refused it (a write failed)
};

struct ReadResult {
    ReadOutcome outcome = ReadOutcome::complete;
    std::string detail;  // what went wrong, in English
};

using DataSink = std::function<bool(const char* bytes, std::size_t length)>;

class EntryReader {
public:
    explicit EntryReader(zip_t* archive);
    // Hands every byte of the entry to `sink`, in order; `password` for an encrypted entry.
    ReadResult read(const EntryInfo& entry, const std::optional<std::string>& password, const DataSink& sink);

private:
    zip_t* archive_;
    std::vector<char> buffer_;
};

}  // namespace unzip32
