#include "name_filter.h"

#include "native_text.h"
#include "wildcard.h"

#include <algorithm>

namespace unzip32 {

std::string with_forward_slashes(std::string_view name)
{
    std::string result(name);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

NameFilter::NameFilter(const std::vector<std::string>& include, const std::vector<std::string>& exclude,
                       bool ignore_case)
    : ignore_case_(ignore_case)
{
    const auto patterns_of = [](const std::vector<std::string>& names) {
        std::vector<Pattern> patterns;
        for (const std::string& name : names)
            patterns.push_back({name, u32_from_utf8(with_forward_slashes(utf8_from_ansi(name)))});
        return patterns;
    };
    include_ = patterns_of(include);
    exclude_ = patterns_of(exclude);
}

bool NameFilter::selects(std::string_view name)
{
    if (!has_lists())
        return true;
    const std::u32string text = u32_from_utf8(with_forward_slashes(name));
    bool included = include_.empty();
    for (Pattern& pattern : include_) {
        if (wildcard_match(pattern.text, text, ignore_case_)) {
            pattern.matched = true;
            included = true;
        }
    }
    if (!included)
        return false;
    return std::none_of(exclude_.begin(), exclude_.end(),
                        [&](const Pattern& pattern) { return wildcard_match(pattern.text, text, ignore_case_); });
}

std::vector<std::string> NameFilter::unmatched_includes() const
{
    std::vector<std::string> names;
    for (const Pattern& pattern : include_)
        if (!pattern.matched)
            names.push_back(pattern.given);
    return names;
}

}  // namespace unzip32
