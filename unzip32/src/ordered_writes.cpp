#include "ordered_writes.h"

#include "file_system.h"

#include <utility>

namespace unzip32 {
namespace {

// How many writes may be handed over before the oldest is reported: enough to keep every worker
// busy behind a large file, few enough that what waits costs little.
constexpr std::size_t most_running = 64;

// True when `key` names the file `running` or something below it, were it a folder.
bool leads_through(const NativeString& key, const NativeString& running)
{
    return key.size() >= running.size() && key.compare(0, running.size(), running) == 0 &&
           (key.size() == running.size() || key[running.size()] == path_separator);
}

// Clears a flag on every way out.
class Raised {
public:
    explicit Raised(bool& flag) : flag_(flag) { flag_ = true; }
    ~Raised() { flag_ = false; }
    Raised(const Raised&) = delete;
    Raised& operator=(const Raised&) = delete;

private:
    bool& flag_;
};

}  // namespace

OrderedWrites::OrderedWrites(const RunContext& run, const NativeString& archive_path, unsigned workers)
    : run_(run), pool_(archive_path, workers)
{
    if (pool_.workers() == 0)
        own_readers_.emplace(archive_path, run.archive);
    run_.messages.hold_with(this);
}

OrderedWrites::~OrderedWrites()
{
    run_.messages.hold_with(nullptr);
}

void OrderedWrites::submit(WriteJob job, Report report)
{
    if (own_readers_) {
        // Nothing is ever waiting here, so the report is in turn at once.
        const WriteResult result = write_entry(*own_readers_, job);
        const Raised reporting(reporting_);
        report(result);
        return;
    }
    report_finished();
    if (running_ >= most_running)
        make_room();
    Item item;
    item.task = std::make_unique<WriteTask>();
    item.task->job = std::move(job);
    item.report = std::move(report);
    item.key = comparable_path(item.task->job.path);
    ++running_;
    bytes_in_flight_ += item.task->job.entry.size;
    backlog_.push_back(std::move(item));
    pool_.start(*backlog_.back().task);
}

void OrderedWrites::settle()
{
    while (!backlog_.empty())
        report_front();
}

void OrderedWrites::wait_for_writes_on_the_way_to(const NativeString& path)
{
    if (running_ == 0)
        return;
    const NativeString key = comparable_path(path);
    // Writes are reported in turn: once the latest one in the way is, every earlier one is too.
    std::size_t to_report = 0;
    for (std::size_t i = 0; i < backlog_.size(); ++i) {
        if (backlog_[i].task && leads_through(key, backlog_[i].key))
            to_report = i + 1;
    }
    for (; to_report > 0; --to_report)
        report_front();
}

bool OrderedWrites::hold(const std::string& line)
{
    if (reporting_ || backlog_.empty())
        return false;
    Item item;
    item.line = line;
    backlog_.push_back(std::move(item));
    return true;
}

void OrderedWrites::report_finished()
{
    while (!backlog_.empty() && (!backlog_.front().task || pool_.is_done(*backlog_.front().task)))
        report_front();
}

void OrderedWrites::make_room()
{
    // Waiting for half of the writes at once, not for each in turn, keeps the threads from waking
    // one another for every file.
    std::size_t writes_to_wait_for = running_ - most_running / 2;
    for (const Item& item : backlog_) {
        if (item.task && --writes_to_wait_for == 0) {
            pool_.wait(*item.task);
            break;
        }
    }
    report_finished();
}

void OrderedWrites::report_front()
{
    Item item = std::move(backlog_.front());
    backlog_.pop_front();
    if (!item.task) {
        run_.callbacks.print(item.line);
        return;
    }
    pool_.wait(*item.task);
    report(item);
}

void OrderedWrites::report(Item& item)
{
    --running_;
    bytes_in_flight_ -= item.task->job.entry.size;
    if (item.task->error)
        std::rethrow_exception(item.task->error);
    const Raised reporting(reporting_);
    item.report(item.task->result);
}

}  // namespace unzip32
