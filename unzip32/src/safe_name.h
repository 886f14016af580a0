#pragma once
// The rules that turn an entry's name, which a third party may have chosen, into a path that
// stays inside the target folder.

#include <string>
#include <string_view>
#include <vector>

namespace unzip32 {

struct NameRules {
    bool windows = false;              // refuse ':' and device names, repair what Windows forbids
    bool keep_folders = true;          // false: only the last component is kept
    bool spaces_to_underscores = false;
};

// The rules of the platform the library runs on.
NameRules platform_name_rules();

enum class NameRefusal {
    none,
    empty,        // nothing is left of the name: there is nothing to write
    colon,        // a ':' that is not a drive letter (Windows)
    device_name,  // a component that Windows takes for a device (Windows)
};

struct SafeName {
    std::vector<std::string> components;  // UTF-8, none empty, "." or ".."
    bool is_folder = false;
    bool removed_root = false;     // leading slashes or a drive letter were removed
    bool removed_parents = false;  // ".." components were removed
    bool replaced_characters = false;
    bool dropped_last = false;  // a file entry whose last component names no file ("a/.", ".", "")
    NameRefusal refusal = NameRefusal::none;

    // True when the name designates another file than the entry's own name did.
    bool changed() const { return removed_root || removed_parents || replaced_characters || dropped_last; }
    // The components joined with '/', as messages show the name.
    std::string joined() const;
};

// `name` is the entry's name as libzip gives it (UTF-8). A folder entry ends in a slash, or is
// said to be one by `folder`.
SafeName make_safe_name(std::string_view name, const NameRules& rules, bool folder = false);

}  // namespace unzip32
