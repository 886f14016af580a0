// Entry names, which a third party chooses, through the rules that turn them into paths inside the
// target folder. Whatever the name, a name that is not refused must come out as a relative path of
// plain components; under Windows' rules, one that Windows takes exactly as it is written.
//
// Input: one byte of rules (bit 0 Windows, bit 1 keep folders, bit 2 blanks to underscores), then
// the name, which ends at its first NUL as libzip's names do.

#include "safe_name.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& name)
{
    std::fprintf(stderr, "RULE BROKEN: %s (name \"%s\")\n", what.c_str(), name.c_str());
    std::abort();
}

std::string upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// The classic device names, with or without an extension.
bool names_a_device(const std::string& component)
{
    std::string base = upper(component.substr(0, component.find('.')));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL")
        return true;
    return base.size() == 4 && (base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) && base[3] >= '1' &&
           base[3] <= '9';
}

void check_component(const std::string& component, const unzip32::NameRules& rules, const std::string& name)
{
    if (component.empty() || component == "." || component == "..")
        fail("component \"" + component + "\" kept", name);
    if (component.find_first_of(std::string("/\\\0", 3)) != std::string::npos)
        fail("a separator or NUL within component \"" + component + "\"", name);
    if (rules.spaces_to_underscores && component.find(' ') != std::string::npos)
        fail("a blank kept in \"" + component + "\"", name);
    if (!rules.windows)
        return;
    for (const char c : component) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || std::string_view(":<>\"|?*").find(c) != std::string_view::npos)
            fail("a character Windows does not allow in \"" + component + "\"", name);
    }
    if (component.back() == '.' || component.back() == ' ')
        fail("a trailing dot or blank, which Windows drops, in \"" + component + "\"", name);
    if (names_a_device(component))
        fail("a device name \"" + component + "\"", name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    unzip32::NameRules rules;
    rules.windows = data[0] & 1;
    rules.keep_folders = data[0] & 2;
    rules.spaces_to_underscores = data[0] & 4;
    const std::string name = std::string(reinterpret_cast<const char*>(data + 1), size - 1).c_str();

    const unzip32::SafeName safe = unzip32::make_safe_name(name, rules);
    if (safe.refusal != unzip32::NameRefusal::none)
        return 0;
    if (safe.components.empty())
        fail("an empty name was not refused", name);
    if (!rules.keep_folders && (safe.components.size() != 1 || safe.is_folder))
        fail("folders kept although the rules flatten them", name);
    for (const std::string& component : safe.components)
        check_component(component, rules, name);
    const std::string joined = safe.joined();
    if (joined.empty() || joined.front() == '/')
        fail("the joined name \"" + joined + "\" is not relative", name);
    return 0;
}
