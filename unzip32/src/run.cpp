#include "run.h"

#include "archive.h"
#include "entry_spans.h"
#include "entry_walk.h"
#include "extraction.h"
#include "integrity_test.h"
#include "listing.h"
#include "native_text.h"

#include <algorithm>
#include <new>
#include <optional>
#include <string>
#include <thread>

namespace unzip32 {
namespace {

std::int32_t status_of_open_failure(int libzip_error)
{
    switch (libzip_error) {
    case ZIP_ER_NOENT:
    case ZIP_ER_OPEN:
    case ZIP_ER_NOZIP:
    case ZIP_ER_MULTIDISK:
        return UZ_NO_ARCHIVE;
    case ZIP_ER_MEMORY:
        throw std::bad_alloc();
    default:
        return UZ_DAMAGED;
    }
}

std::string libzip_text(int libzip_error)
{
    ZipError error;
    zip_error_set(error.get(), libzip_error, 0);
    return zip_error_strerror(error.get());
}

// Runs the mode the options ask for over the selected entries; returns how many were selected,
// or nothing when the run could not start.
std::optional<std::uint64_t> run_mode(const RunContext& run, NameFilter& filter, const NativeString& archive_path,
                                      const SpanCheck& spans, unsigned workers)
{
    if (run.options.mode == Mode::list) {
        Listing listing(run);
        return walk_selected_entries(run, filter, [&](const EntryInfo& entry) {
            listing.list(entry);
            return true;
        });
    }

    const auto go_on = [&](const EntryInfo& entry) {
        if (!run.callbacks.cancelled_before(entry.name, clamp_to_32_bits(entry.size)))
            return true;
        run.messages.say(MessageKind::warning, "warning: the run was cancelled before " + entry.name);
        run.status.note(UZ_WARNING);
        return false;
    };
    std::uint64_t selected = 0;
    if (run.options.mode == Mode::test) {
        IntegrityTest test(run);
        selected = walk_selected_entries(run, filter, [&](const EntryInfo& entry) {
            if (!go_on(entry))
                return false;
            test.test(entry);
            return true;
        });
    } else {
        Extraction extraction(run, archive_path, spans.data_offsets, workers);
        if (!extraction.prepare_target())
            return std::nullopt;
        // The service routine hears of each entry as it is handed out, without waiting for the
        // writes before it: a caller that only counts must not serialise the writers.
        selected = walk_selected_entries(run, filter, [&](const EntryInfo& entry) {
            if (!go_on(entry))
                return false;
            extraction.extract(entry);
            return true;
        });
        extraction.settle();
    }
    run.callbacks.sound();
    return selected;
}

}  // namespace

unsigned default_workers()
{
    // One thread per core writes; on a single core the calling thread does it all itself.
    const unsigned cores = std::thread::hardware_concurrency();
    return cores <= 1 ? 0 : std::min(cores, most_workers);
}

std::int32_t run_single_entry_unzip(std::int32_t include_count, char** include_names, std::int32_t exclude_count,
                                    char** exclude_names, DCL* record, USERFUNCTIONS* routines, unsigned workers)
{
    if (routines == nullptr)
        return UZ_BAD_PARAMS;
    const auto options = read_options(include_count, include_names, exclude_count, exclude_names, record);
    if (!options)
        return UZ_BAD_PARAMS;
    const Callbacks callbacks(*routines);
    const Messages messages(callbacks, options->quiet_level);
    const std::string shown_archive = utf8_from_ansi(options->archive);

    const NativeString archive_path = native_from_ansi(options->archive);
    const OpenedArchive opened = open_archive(archive_path);
    if (!opened.archive) {
        // An end record whose directory cannot be read marks a damaged archive, not a file that is none.
        if (opened.error == ZIP_ER_NOZIP && holds_end_record(archive_path)) {
            messages.say(MessageKind::warning, "error: " + shown_archive + " is damaged: its central directory cannot be read");
            return UZ_DAMAGED;
        }
        messages.say(MessageKind::warning, "error: " + shown_archive + " cannot be opened: " + libzip_text(opened.error));
        return status_of_open_failure(opened.error);
    }
    NameFilter filter(options->include, options->exclude, options->ignore_case);
    fill_totals(*routines, opened.archive.get(), filter);
    const SpanCheck spans = check_entry_spans(archive_path, opened.archive.get());
    if (spans.verdict != SpanVerdict::apart) {
        messages.say(MessageKind::warning, "error: " + shown_archive + " is damaged: " + spans.detail);
        return UZ_DAMAGED;
    }

    Status status;
    const RunContext run{*options, callbacks, messages, opened.archive.get(), status};
    const bool has_entries = zip_get_num_entries(opened.archive.get(), 0) > 0;
    if (!has_entries) {
        messages.say(MessageKind::warning, "warning: " + shown_archive + " holds no entries");
        status.note(UZ_WARNING);
    }
    const std::optional<std::uint64_t> selected = run_mode(run, filter, archive_path, spans, workers);
    if (!selected)
        return status.result();
    if (has_entries && *selected == 0 && filter.has_lists()) {
        messages.say(MessageKind::warning, "error: no entry of " + shown_archive + " matches the names given");
        return UZ_NO_MATCH;
    }
    for (const std::string& name : filter.unmatched_includes()) {
        messages.say(MessageKind::warning, "warning: no entry matches " + utf8_from_ansi(name));
        status.note(UZ_WARNING);
    }
    return status.result();
}

}  // namespace unzip32
