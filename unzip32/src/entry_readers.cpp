#include "entry_readers.h"

namespace unzip32 {
namespace {

ReadResult archive_unreadable() { return {ReadOutcome::bad_data, "it cannot be read: the archive cannot be opened again"}; }

}  // namespace

EntryReaders::EntryReaders(const NativeString& archive_path, zip_t* archive)
    : archive_path_(archive_path), archive_(archive)
{
}

ReadResult EntryReaders::read(const EntryInfo& entry, std::optional<std::uint64_t> data_offset,
                              const std::optional<std::string>& password, const DataSink& sink)
{
    if (data_offset && !password && EntryInflater::handles(entry)) {
        if (!inflater_) {
            auto opened = RawFile::open(archive_path_);
            if (!opened)
                return archive_unreadable();
            raw_file_.emplace(std::move(*opened));
            inflater_.emplace(*raw_file_);
        }
        return inflater_->read(entry, *data_offset, sink);
    }
    if (!reader_) {
        if (archive_ == nullptr) {
            OpenedArchive opened = open_archive(archive_path_);
            if (!opened.archive)
                return archive_unreadable();
            own_archive_ = std::move(opened.archive);
            archive_ = own_archive_.get();
        }
        reader_.emplace(archive_);
    }
    return reader_->read(entry, password, sink);
}

}  // namespace unzip32
