#include "write_job.h"

#include "file_system.h"

namespace unzip32 {

namespace {

ReadResult read_entry(EntryReaders& readers, const WriteJob& job, const DataSink& sink)
{
    if (!job.password && EntryInflater::handles(job.entry)) {
        if (auto result = readers.inflater.read(job.entry, sink))
            return std::move(*result);
    }
    return readers.reader.read(job.entry, job.password, sink);
}

}  // namespace

WriteResult write_entry(EntryReaders& readers, const WriteJob& job)
{
    auto file = TempFile::create_in(job.folder);
    if (!file)
        return {WriteOutcome::not_created, {}};
    ReadResult read =
        read_entry(readers, job, [&](const char* bytes, std::size_t length) { return file->write(bytes, length); });
    if (read.outcome != ReadOutcome::complete)
        return {WriteOutcome::read_failed, std::move(read)};
    if (!file->commit_as(job.path, job.entry.modified))
        return {WriteOutcome::not_committed, {}};
    return {};
}

}  // namespace unzip32
