#include "entry_walk.h"

#include <string>

namespace unzip32 {

std::uint64_t walk_selected_entries(const RunContext& run, NameFilter& filter,
                                    const std::function<bool(const EntryInfo&)>& handle)
{
    const zip_int64_t count = zip_get_num_entries(run.archive, 0);
    std::uint64_t selected = 0;
    for (zip_int64_t index = 0; index < count; ++index) {
        const auto entry = entry_info(run.archive, static_cast<zip_uint64_t>(index));
        if (!entry) {
            run.messages.say(MessageKind::warning, "error: entry " + std::to_string(index + 1) + " cannot be read");
            run.status.note(UZ_BAD_ENTRIES);
            continue;
        }
        if (!filter.selects(entry->name))
            continue;
        ++selected;
        if (!handle(*entry))
            break;
    }
    return selected;
}

}  // namespace unzip32
