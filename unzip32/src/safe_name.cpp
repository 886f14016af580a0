#include "safe_name.h"

#include "name_filter.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace unzip32 {

NameRules platform_name_rules()
{
    NameRules rules;
#ifdef _WIN32
    rules.windows = true;
#endif
    return rules;
}

std::string SafeName::joined() const
{
    std::string text;
    for (const std::string& component : components) {
        if (!text.empty())
            text += '/';
        text += component;
    }
    if (is_folder && !text.empty())
        text += '/';
    return text;
}

namespace {

bool is_ascii_letter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Drive letters ("C:") and leading slashes, as often as they come ("/C:/x", "//server/share").
bool remove_root(std::string& name)
{
    bool removed = false;
    for (;;) {
        if (name.size() >= 2 && is_ascii_letter(name[0]) && name[1] == ':') {
            name.erase(0, 2);
        } else if (!name.empty() && name[0] == '/') {
            name.erase(0, name.find_first_not_of('/'));
        } else {
            return removed;
        }
        removed = true;
    }
}

std::vector<std::string> split_components(const std::string& name)
{
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find('/', start), name.size());
        components.push_back(name.substr(start, end - start));
        start = end + 1;
    }
    return components;
}

std::string upper_ascii(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Windows opens a device for these names whatever extension follows ("nul.txt", "CON .log").
bool is_device_name(const std::string& component)
{
    std::string base = component.substr(0, component.find('.'));
    base.erase(base.find_last_not_of(' ') + 1);
    base = upper_ascii(base);
    static const std::array<const char*, 6> plain = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    if (std::find(plain.begin(), plain.end(), base) != plain.end())
        return true;
    if (base.rfind("COM", 0) != 0 && base.rfind("LPT", 0) != 0)
        return false;
    const std::string number = base.substr(3);
    // COM0 to COM9, and the superscript digits one to three, which Windows takes as digits too.
    return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') || number == "\xC2\xB9" ||
           number == "\xC2\xB2" || number == "\xC2\xB3";
}

// Windows drops trailing dots and blanks when it opens a name; do it here, where the result can
// still be checked.
void drop_trailing_dots_and_blanks(std::string& component)
{
    const std::size_t end = component.find_last_not_of(". ");
    component.erase(end == std::string::npos ? 0 : end + 1);
}

bool replace_forbidden_characters(std::string& component)
{
    bool replaced = false;
    for (char& c : component) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*') {
            c = '_';
            replaced = true;
        }
    }
    return replaced;
}

}  // namespace

SafeName make_safe_name(std::string_view entry_name, const NameRules& rules, bool folder)
{
    SafeName safe;
    std::string name = with_forward_slashes(entry_name);
    safe.is_folder = folder || (!name.empty() && name.back() == '/');
    safe.removed_root = remove_root(name);

    std::vector<std::string> components = split_components(name);
    // A file's name must end in the file's own name: "a/." names the folder a, "" nothing at all.
    // A folder's may end in "." or a slash.
    const std::string& last = components.back();
    safe.dropped_last = !safe.is_folder && (last.empty() || last == "." || last == "..");
    for (std::string& component : components) {
        if (component.empty() || component == ".")
            continue;
        if (component == "..") {
            safe.removed_parents = true;
            continue;
        }
        if (rules.windows) {
            drop_trailing_dots_and_blanks(component);
            if (component.empty()) {
                safe.dropped_last |= !safe.is_folder && &component == &components.back();
                continue;
            }
            if (component.find(':') != std::string::npos) {
                safe.refusal = NameRefusal::colon;
                return safe;
            }
            if (is_device_name(component)) {
                safe.refusal = NameRefusal::device_name;
                return safe;
            }
            safe.replaced_characters |= replace_forbidden_characters(component);
        }
        if (rules.spaces_to_underscores)
            std::replace(component.begin(), component.end(), ' ', '_');
        safe.components.push_back(std::move(component));
    }

    if (!rules.keep_folders && !safe.components.empty()) {
        if (safe.is_folder)
            safe.components.clear();
        else
            safe.components.erase(safe.components.begin(), safe.components.end() - 1);
    }
    if (safe.components.empty())
        safe.refusal = NameRefusal::empty;
    return safe;
}

}  // namespace unzip32
