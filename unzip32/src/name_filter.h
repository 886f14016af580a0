#pragma once
// The caller's include and exclude lists: which entries a run takes.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace unzip32 {

class NameFilter {
public:
    // Names in the system's 8-bit code page; backslashes count as slashes.
    NameFilter(const std::vector<std::string>& include, const std::vector<std::string>& exclude, bool ignore_case);

    bool has_lists() const { return !include_.empty() || !exclude_.empty(); }
    // `name` is the entry's name as libzip gives it (UTF-8). Records which include names matched.
    bool selects(std::string_view name);
    // The include names (as the caller gave them) that have matched no entry so far.
    std::vector<std::string> unmatched_includes() const;

private:
    struct Pattern {
        std::string given;
        std::u32string text;
        bool matched = false;
    };
    std::vector<Pattern> include_;
    std::vector<Pattern> exclude_;
    bool ignore_case_;
};

// An entry name with backslashes turned into slashes, as matching and the name rules see it.
std::string with_forward_slashes(std::string_view name);

}  // namespace unzip32
