#include "entry_reader.h"

#include <new>

namespace unzip32 {
namespace {

// Large pieces: a stored picture of a few hundred kilobytes takes one read and one write.
constexpr std::size_t chunk_size = 256 * 1024;

ReadResult failure_of(zip_error_t* error, const EntryInfo& entry)
{
    switch (zip_error_code_zip(error)) {
    case ZIP_ER_MEMORY:
        throw std::bad_alloc();
    case ZIP_ER_COMPNOTSUPP:
        return {ReadOutcome::unsupported, "its compression method (" + std::to_string(entry.method) + ") is not supported"};
    case ZIP_ER_ENCRNOTSUPP:
        return {ReadOutcome::unsupported, "its encryption method is not supported"};
    case ZIP_ER_WRONGPASSWD:
    case ZIP_ER_NOPASSWD:
        return {ReadOutcome::wrong_password, "the password is wrong"};
    case ZIP_ER_CRC:
    case ZIP_ER_ZLIB:
    case ZIP_ER_COMPRESSED_DATA:
        // Data decrypted with a wrong password look damaged; most often that is what happened.
        if (entry.encrypted())
            return {ReadOutcome::wrong_password, "the password is wrong, or the data are damaged"};
        return {ReadOutcome::bad_data, zip_error_code_zip(error) == ZIP_ER_CRC ? "CRC mismatch" : "damaged data"};
    default:
        return {ReadOutcome::bad_data, std::string("it cannot be read: ") + zip_error_strerror(error)};
    }
}

}  // namespace

EntryReader::EntryReader(zip_t* archive) : archive_(archive), buffer_(chunk_size) {}

ReadResult EntryReader::read(const EntryInfo& entry, const std::optional<std::string>& password, const DataSink& sink)
{
    EntryFileHandle file(password ? zip_fopen_index_encrypted(archive_, entry.index, 0, password->c_str())
                                  : zip_fopen_index(archive_, entry.index, 0));
    if (!file)
        return failure_of(zip_get_error(archive_), entry);

    std::uint64_t total = 0;
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), buffer_.data(), buffer_.size());
        if (got < 0)
            return failure_of(zip_file_get_error(file.get()), entry);
        if (got == 0)
            break;
        total += static_cast<std::uint64_t>(got);
        if (total > entry.size)
            return {ReadOutcome::bad_data, "it holds more data than its recorded size"};
        if (!sink(buffer_.data(), static_cast<std::size_t>(got)))
            return {ReadOutcome::sink_failed, {}};
    }
    if (total != entry.size)
        return {ReadOutcome::bad_data, "it holds less data than its recorded size"};
    return {};
}

}  // namespace unzip32
