#include "write_job.h"

#include "file_system.h"

namespace unzip32 {

WriteResult write_entry(EntryReaders& readers, const WriteJob& job)
{
    auto file = TempFile::create_in(job.folder);
    if (!file)
        return {WriteOutcome::not_created, {}};
    ReadResult read =
        readers.read(job.entry, job.data_offset, job.password,
                     [&](const char* bytes, std::size_t length) { return file->write(bytes, length); });
    if (read.outcome != ReadOutcome::complete)
        return {WriteOutcome::read_failed, std::move(read)};
    if (!file->commit_as(job.path, job.entry.modified))
        return {WriteOutcome::not_committed, {}};
    return {};
}

}  // namespace unzip32
