#include "options.h"

namespace unzip32 {
namespace {

std::optional<std::vector<std::string>> read_names(std::int32_t count, char** names)
{
    if (count < 0 || (count > 0 && names == nullptr))
        return std::nullopt;
    std::vector<std::string> list;
    for (std::int32_t i = 0; i < count; ++i) {
        if (names[i] == nullptr)
            return std::nullopt;
        list.emplace_back(names[i]);
    }
    return list;
}

}  // namespace

std::optional<Options> read_options(std::int32_t include_count, char** include_names, std::int32_t exclude_count,
                                    char** exclude_names, const DCL* record)
{
    if (record == nullptr || record->lpszZipFN == nullptr || record->lpszZipFN[0] == '\0')
        return std::nullopt;
    auto include = read_names(include_count, include_names);
    auto exclude = read_names(exclude_count, exclude_names);
    if (!include || !exclude)
        return std::nullopt;

    Options options;
    options.mode = record->nvflag ? Mode::list : record->ntflag ? Mode::test : Mode::extract;
    options.only_newer = record->ExtractOnlyNewer != 0;
    options.only_existing = record->nfflag != 0;
    options.overwrite_always = record->noflag != 0;
    options.prompt_to_overwrite = record->PromptToOverwrite != 0;
    options.quiet_level = record->fQuiet;
    options.name_rules = platform_name_rules();
    options.name_rules.keep_folders = record->ndflag != 0;
    options.name_rules.spaces_to_underscores = record->SpaceToUnderscore != 0;
    options.ignore_case = record->C_flag != 0;
    options.archive = record->lpszZipFN;
    options.folder = record->lpszExtractDir ? record->lpszExtractDir : "";
    options.include = std::move(*include);
    options.exclude = std::move(*exclude);
    return options;
}

}  // namespace unzip32
