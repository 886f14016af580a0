#include "write_pool.h"

#include <optional>
#include <system_error>

namespace unzip32 {
namespace {

// The archive is opened again for each thread: it must still hold the entry that the calling
// thread described, or the file is not written.
bool holds_same_entry(zip_t* archive, const EntryInfo& entry)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, entry.index, 0, &stat) != 0 || stat.name == nullptr)
        return false;
    return entry.name == stat.name && stat.size == entry.size && stat.comp_size == entry.compressed_size &&
           stat.comp_method == entry.method;
}

WriteResult unreadable(const char* detail)
{
    return {WriteOutcome::read_failed, {ReadOutcome::bad_data, detail}};
}

WriteResult write_with(zip_t* archive, EntryReaders* readers, const WriteJob& job)
{
    if (archive == nullptr || readers == nullptr)
        return unreadable("the archive cannot be read again");
    if (!holds_same_entry(archive, job.entry))
        return unreadable("the archive changed while it was read");
    return write_entry(*readers, job);
}

}  // namespace

WritePool::WritePool(const NativeString& archive_path, unsigned workers)
{
    threads_.reserve(workers);
    for (unsigned i = 0; i < workers; ++i) {
        try {
            threads_.emplace_back([this, archive_path] { work(archive_path); });
        } catch (const std::system_error&) {
            break;  // the threads already started do the work
        }
    }
}

WritePool::~WritePool()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    task_ready_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

void WritePool::start(WriteTask& task)
{
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(&task);
    }
    task_ready_.notify_one();
}

bool WritePool::is_done(const WriteTask& task)
{
    const std::lock_guard lock(mutex_);
    return task.done;
}

void WritePool::wait(const WriteTask& task)
{
    std::unique_lock lock(mutex_);
    awaited_ = &task;
    task_done_.wait(lock, [&] { return task.done; });
    awaited_ = nullptr;
}

void WritePool::work(const NativeString& archive_path)
{
    // Nothing may leave a thread's function: whatever goes wrong travels with the task.
    std::exception_ptr open_error;
    OpenedArchive opened;
    std::optional<EntryReaders> readers;
    try {
        opened = open_archive(archive_path);
        if (opened.archive)
            readers.emplace(opened.archive.get());
    } catch (...) {
        open_error = std::current_exception();
    }

    for (;;) {
        WriteTask* task = nullptr;
        {
            std::unique_lock lock(mutex_);
            task_ready_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (stopping_)
                return;
            task = queue_.front();
            queue_.pop_front();
        }
        try {
            if (open_error)
                std::rethrow_exception(open_error);
            task->result = write_with(opened.archive.get(), readers ? &*readers : nullptr, task->job);
        } catch (...) {
            task->error = std::current_exception();
        }
        bool awaited = false;
        {
            const std::lock_guard lock(mutex_);
            task->done = true;
            awaited = awaited_ == task;
        }
        if (awaited)
            task_done_.notify_one();
    }
}

}  // namespace unzip32
