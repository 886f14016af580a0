#pragma once
// The option record and the name lists, checked and read into the library's own terms.

#include "name_filter.h"
#include "native_text.h"
#include "safe_name.h"
#include "unzip32.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace unzip32 {

enum class Mode { extract, test, list };

struct Options {
    Mode mode = Mode::extract;
    bool only_newer = false;      // ExtractOnlyNewer
    bool only_existing = false;   // nfflag (freshen)
    bool overwrite_always = false;  // noflag
    bool prompt_to_overwrite = false;
    std::int32_t quiet_level = 0;
    NameRules name_rules;
    bool ignore_case = false;
    std::string archive;  // as the caller gave it (8-bit code page)
    std::string folder;   // as the caller gave it; empty for the current folder
    std::vector<std::string> include;
    std::vector<std::string> exclude;
};

// Nothing when the arguments break the interface's rules (status UZ_BAD_PARAMS).
std::optional<Options> read_options(std::int32_t include_count, char** include_names, std::int32_t exclude_count,
                                    char** exclude_names, const DCL* record);

}  // namespace unzip32
