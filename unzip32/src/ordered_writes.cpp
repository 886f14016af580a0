#include "ordered_writes.h"

#include <utility>

namespace unzip32 {
namespace {

// How many writes may be handed over before the oldest is reported: enough to keep every worker
// busy behind a large file, few enough that what waits costs little.
constexpr std::size_t most_running = 64;

// Two names for the same file must meet: Windows ignores the case of names, so ASCII case is
// ignored everywhere (a wait too many does no harm).
NativeString path_key(const NativeString& path)
{
    NativeString key = path;
    for (NativeChar& c : key) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<NativeChar>(c - 'A' + 'a');
    }
    return key;
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
    item.key = path_key(item.task->job.path);
    ++running_paths_[item.key];
    ++running_;
    backlog_.push_back(std::move(item));
    pool_.start(*backlog_.back().task);
}

void OrderedWrites::settle()
{
    while (!backlog_.empty())
        report_front();
}

void OrderedWrites::wait_for(const NativeString& path)
{
    if (running_ == 0)
        return;
    const NativeString key = path_key(path);
    while (running_paths_.count(key))
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
    if (const auto found = running_paths_.find(item.key); found != running_paths_.end() && --found->second == 0)
        running_paths_.erase(found);
    if (item.task->error)
        std::rethrow_exception(item.task->error);
    const Raised reporting(reporting_);
    item.report(item.task->result);
}

}  // namespace unzip32
