#include "replace_policy.h"

#include "unzip32.h"

namespace unzip32 {
namespace {

ReplaceVerdict leave(std::string reason, bool warn = false)
{
    return {false, warn, std::move(reason)};
}

// Times in archives have a resolution of two seconds: a file written from this very entry
// carries its time exactly, and one up to a second older may be the same moment.
bool is_newer(std::time_t entry_modified, std::time_t file_modified)
{
    return entry_modified > file_modified + 1;
}

}  // namespace

ReplaceVerdict ReplacePolicy::decide(const FileInfo& on_disk, std::time_t entry_modified, std::string_view shown_path)
{
    if (!on_disk.exists)
        return options_.only_existing ? leave("not on disk") : ReplaceVerdict{};
    if ((options_.only_existing || options_.only_newer) && !is_newer(entry_modified, on_disk.modified))
        return leave("the file on disk is not older");
    if (options_.overwrite_always || overwrite_all_)
        return {};
    if (overwrite_none_)
        return leave("it exists");
    if (options_.prompt_to_overwrite) {
        if (const auto answer = callbacks_.ask_replace(shown_path)) {
            switch (*answer) {
            case IDM_REPLACE_YES:
                return {};
            case IDM_REPLACE_ALL:
                overwrite_all_ = true;
                return {};
            case IDM_REPLACE_NONE:
                overwrite_none_ = true;
                return leave("it exists");
            default:
                return leave("it exists");
            }
        }
    }
    return leave("it already exists and was left as it is", true);
}

}  // namespace unzip32
