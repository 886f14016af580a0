#pragma once
// The calling thread's side of writing files on other threads. The caller hears of every entry in
// the archive's order and only on its own thread: each finished write is reported in the order the
// writes were handed over, and lines said meanwhile about later entries are held until the writes
// before them are reported.

#include "run_context.h"
#include "write_pool.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace unzip32 {

class OrderedWrites : private MessageHolder {
public:
    using Report = std::function<void(const WriteResult&)>;

    // With no workers every write is made at once on the calling thread.
    OrderedWrites(const RunContext& run, const NativeString& archive_path, unsigned workers);
    ~OrderedWrites();
    OrderedWrites(const OrderedWrites&) = delete;
    OrderedWrites& operator=(const OrderedWrites&) = delete;

    // Writes the job's file; `report` is called on this thread, in turn, with what happened.
    void submit(WriteJob job, Report report);
    // Reports every write, waiting for those still running: before the caller is asked anything,
    // and at the end of the run.
    void settle();
    // Waits until no write still running makes the file `path` or a file on the way to it (a
    // name its folders would take). Linear in the path's length, however deep it is.
    void wait_for_writes_on_the_way_to(const NativeString& path);
    // The bytes the writes still running will take on disk at most (their files' full sizes).
    std::uint64_t bytes_in_flight() const { return bytes_in_flight_; }

private:
    struct Item {
        std::string line;                  // a held line, when there is no task
        std::unique_ptr<WriteTask> task;
        Report report;
        NativeString key;  // the file's path as the file system compares names
    };

    bool hold(const std::string& line) override;
    void report_finished();
    void make_room();
    void report_front();
    void report(Item& item);

    const RunContext& run_;
    std::deque<Item> backlog_;
    std::size_t running_ = 0;
    std::uint64_t bytes_in_flight_ = 0;
    bool reporting_ = false;
    std::optional<EntryReaders> own_readers_;  // for writes made on this thread
    WritePool pool_;                         // last: its threads stop before the tasks go
};

}  // namespace unzip32
