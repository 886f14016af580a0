#include "write_pool.h"

#include <optional>
#include <system_error>

namespace unzip32 {
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
    std::optional<EntryReaders> readers;
    std::exception_ptr start_error;
    try {
        readers.emplace(archive_path, nullptr);
    } catch (...) {
        start_error = std::current_exception();
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
            if (start_error)
                std::rethrow_exception(start_error);
            task->result = write_entry(*readers, task->job);
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
