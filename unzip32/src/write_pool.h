#pragma once
// Threads that write the extracted files. Each reads the archive through handles of its own,
// since a libzip handle may be used by one thread at a time only. They never call the caller's
// routines: what they did is read, on the calling thread, from the task they finished.

#include "write_job.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace unzip32 {

struct WriteTask {
    WriteJob job;
    WriteResult result;
    std::exception_ptr error;  // what the write threw, to be thrown again on the calling thread
    bool done = false;
};

class WritePool {
public:
    // Starts up to `workers` threads on the archive at `archive_path`: fewer, or none, when the
    // system will not give them.
    WritePool(const NativeString& archive_path, unsigned workers);
    // Stops the threads once their current task is done; tasks not yet begun stay undone.
    ~WritePool();
    WritePool(const WritePool&) = delete;
    WritePool& operator=(const WritePool&) = delete;

    std::size_t workers() const { return threads_.size(); }

    // `task` must outlive the pool or be waited for.
    void start(WriteTask& task);
    bool is_done(const WriteTask& task);
    void wait(const WriteTask& task);

private:
    void work(const NativeString& archive_path);

    std::mutex mutex_;
    std::condition_variable task_ready_;
    std::condition_variable task_done_;
    std::deque<WriteTask*> queue_;
    const WriteTask* awaited_ = nullptr;  // the one task the calling thread waits for, if any
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace unzip32
