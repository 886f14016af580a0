// Arbitrary bytes as an archive, handed to the library's exported entry as a caller would hand
// it, with the options and the caller's answers taken from the first bytes of the input.
//
// Input: three bytes of choices (see read_choices), then a name pattern as long as the low four
// bits of the third byte say, then the archive.
//
// Some runs find links already in the target folder, as a user's folder may hold them: a folder
// link and a file link, both to a folder beside the target.
//
// Beyond what the sanitizers and libFuzzer catch (crashes, leaks, hangs), a run fails when:
// anything appears in the scratch folder outside the target folder; anything changes through a
// link that was there; a listing or a test writes anything at all; a temporary file is left
// behind; a link is created; the status is not one the interface documents for such a call; or a
// callback receives text that is not what the interface promises.

#include "fuzz_scratch.h"
#include "unzip32.h"

#include <zip.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace unzip32_fuzz {
namespace {

struct Choices {
    DCL options{};
    bool extract = true;
    bool twice = false;  // a second run meets the files of the first
    std::int32_t replace_answer = IDM_REPLACE_NO;
    bool give_password = false;
    bool pattern_excludes = false;
    std::string pattern;
    unsigned cancel_after = 0;  // entries; 0: never
    bool links_in_target = false;
};

struct RunState {
    const Choices* choices = nullptr;
    unsigned serviced = 0;
};
RunState state;

Choices read_choices(const std::uint8_t* data)
{
    Choices choices;
    DCL& o = choices.options;
    switch (data[0] & 3) {
    case 2:
        o.ntflag = 1;
        break;
    case 3:
        o.nvflag = 1;
        o.ntflag = data[0] & 0x80;
        break;
    default:
        break;
    }
    choices.extract = !o.ntflag && !o.nvflag;
    o.ndflag = (data[0] >> 2) & 1;
    o.noflag = (data[0] >> 3) & 1;
    o.PromptToOverwrite = (data[0] >> 4) & 1;
    o.ExtractOnlyNewer = (data[0] >> 5) & 1;
    o.nfflag = (data[0] >> 6) & 1;
    o.SpaceToUnderscore = (data[0] >> 7) & 1;
    o.C_flag = data[1] & 1;
    o.fQuiet = (data[1] >> 1) & 3;
    choices.twice = (data[1] >> 3) & 1;
    choices.replace_answer = IDM_REPLACE_NO + ((data[1] >> 4) & 7);  // 100 to 107: some not in the set
    choices.give_password = (data[1] >> 7) & 1;
    choices.pattern_excludes = (data[2] >> 4) & 1;
    choices.cancel_after = (data[2] >> 5) & 3;
    choices.links_in_target = (data[2] >> 7) & 1;
    return choices;
}

void check_text(const char* text, const char* what)
{
    if (text == nullptr)
        fail(std::string("a null ") + what + " reached a callback");
    (void)std::strlen(text);  // AddressSanitizer reports any text that does not end in its buffer
}

std::int32_t UZ_CALL on_print(char* text, std::uint32_t length)
{
    check_text(text, "printed text");
    if (std::strlen(text) != length)
        fail("printed text of " + std::to_string(length) + " bytes came with a NUL elsewhere");
    if (length == 0 || text[length - 1] != '\n')
        fail("a printed line does not end in a line feed: " + std::string(text));
    return 0;
}

void UZ_CALL on_sound() {}

std::int32_t UZ_CALL on_replace(char* name)
{
    check_text(name, "name to replace");
    return state.choices->replace_answer;
}

std::int32_t UZ_CALL on_password(char* buffer, std::int32_t size, const char* prompt, const char* name)
{
    check_text(prompt, "password prompt");
    check_text(name, "entry name");
    constexpr char password[] = "secret";
    if (!state.choices->give_password)
        return 1;
    if (buffer == nullptr || size < static_cast<std::int32_t>(sizeof password))
        fail("the password buffer is too small: " + std::to_string(size));
    std::memcpy(buffer, password, sizeof password);
    return 0;
}

void UZ_CALL on_listing(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t month, std::uint32_t day,
                        std::uint32_t, std::uint32_t hour, std::uint32_t minute, char, char* name, char* method,
                        std::uint32_t, char)
{
    check_text(name, "listed name");
    check_text(method, "method name");
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59)
        fail("a listed date is out of range: " + std::to_string(month) + "/" + std::to_string(day) + " " +
             std::to_string(hour) + ":" + std::to_string(minute));
}

std::int32_t UZ_CALL on_service(const char* name, std::uint32_t)
{
    check_text(name, "entry name");
    ++state.serviced;
    return state.choices->cancel_after != 0 && state.serviced > state.choices->cancel_after;
}

std::int32_t run_once(const Choices& choices, const fs::path& archive, const fs::path& target)
{
    std::string archive_text = archive.string();
    std::string target_text = target.string();
    std::string pattern = choices.pattern;
    DCL options = choices.options;
    options.lpszZipFN = archive_text.data();
    options.lpszExtractDir = target_text.data();
    USERFUNCTIONS routines{};
    routines.print = on_print;
    routines.sound = on_sound;
    routines.replace = on_replace;
    routines.password = on_password;
    routines.SendApplicationMessage = on_listing;
    routines.ServCallBk = on_service;

    char* names[1] = {pattern.data()};
    const std::int32_t count = pattern.empty() ? 0 : 1;
    state = {&choices, 0};
    if (choices.pattern_excludes)
        return Wiz_SingleEntryUnzip(0, nullptr, count, names, &options, &routines);
    return Wiz_SingleEntryUnzip(count, names, 0, nullptr, &options, &routines);
}

void check_status(std::int32_t status, const Choices& choices)
{
    static const std::set<std::int32_t> always = {UZ_OK,          UZ_WARNING,    UZ_BAD_ENTRIES,
                                                  UZ_DAMAGED,     UZ_NO_ARCHIVE, UZ_UNSUPPORTED,
                                                  UZ_BAD_PASSWORD};
    if (always.count(status))
        return;
    if (status == UZ_NO_MATCH && !choices.pattern.empty())
        return;
    if (status == UZ_DISK_FULL && choices.extract)
        return;  // a file where the archive wants a folder, or the reverse
    fail("status " + std::to_string(status) + " does not belong to this call");
}

// Every name the archive holds, to tell a file it names from a temporary file left behind.
std::vector<std::string> names_in(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> names;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(data, size, 0, &error);
    zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    if (archive == nullptr) {
        zip_source_free(source);
    } else {
        const zip_int64_t count = zip_get_num_entries(archive, 0);
        for (zip_int64_t i = 0; i < count; ++i)
            if (const char* name = zip_get_name(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW))
                names.emplace_back(name);
        zip_discard(archive);
    }
    zip_error_fini(&error);
    return names;
}

bool is_left_temporary(const fs::path& relative, const std::vector<std::string>& names)
{
    const std::string name = relative.filename().string();
    if (name.rfind(".unzip32-", 0) != 0 || name.size() < 4 || name.substr(name.size() - 4) != ".tmp")
        return false;
    for (const std::string& entry : names)
        if (entry.find(name) != std::string::npos)
            return false;
    return true;
}

// The links a run may find in the target, named as the test archives name a folder and a file,
// and what they lead to.
const fs::path folder_link = "out/target/folder";
const fs::path file_link = "out/target/stored.txt";
const fs::path outside = "outside";
const fs::path outside_file = "outside/stored.txt";
constexpr std::string_view outside_content = "never to be changed\n";

void plant_links(const Scratch& scratch)
{
    fs::create_directories(scratch.root() / outside);
    std::ofstream(scratch.root() / outside_file, std::ios::binary) << outside_content;
    fs::create_directories(scratch.root() / "out" / "target");
    fs::create_directory_symlink(scratch.root() / outside, scratch.root() / folder_link);
    fs::create_symlink(scratch.root() / outside_file, scratch.root() / file_link);
}

// A link may stay as it was planted, or a file extracted in its place may replace the link itself.
void check_link(const Scratch& scratch, const fs::path& relative)
{
    const fs::path planted = relative == folder_link ? outside : outside_file;
    if (fs::read_symlink(scratch.root() / relative) != scratch.root() / planted)
        fail("a link was changed: " + relative.string());
}

void check_outside(const Scratch& scratch, const fs::path& relative)
{
    if (relative != outside_file)
        fail("written through a link: " + relative.string());
    std::ifstream file(scratch.root() / relative, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (content != outside_content)
        fail("a file was changed through a link: " + relative.string());
}

void audit(const Scratch& scratch, const Choices& choices, const std::uint8_t* archive, std::size_t size)
{
    std::vector<std::string> names;
    bool names_read = false;
    scratch.audit([&](const fs::path& relative, bool is_link) {
        const std::string text = relative.generic_string();
        const bool planted = choices.links_in_target;
        if (text == "archive.zip" || (planted && relative == outside))
            return;
        if (planted && relative.begin()->string() == outside.string())
            return check_outside(scratch, relative);
        if (planted && (relative == folder_link || relative == file_link) && is_link)
            return check_link(scratch, relative);
        if (is_link)
            fail("a link was created: " + text);
        const bool target_itself = text == "out" || text == "out/target";
        if (!choices.extract && !(planted && target_itself))
            fail("a " + std::string(choices.options.nvflag ? "listing" : "test") + " wrote " + text);
        if (target_itself)
            return;
        if (text.rfind("out/target/", 0) != 0)
            fail("written outside the target folder: " + text);
        if (!names_read) {
            names = names_in(archive, size);
            names_read = true;
        }
        if (is_left_temporary(relative, names))
            fail("a temporary file was left behind: " + text);
    });
}

}  // namespace
}  // namespace unzip32_fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace unzip32_fuzz;
    if (size < 3)
        return 0;
    Choices choices = read_choices(data);
    const std::size_t pattern_length = data[2] & 15;
    if (size < 3 + pattern_length)
        return 0;
    // The interface takes zero-terminated names: a pattern ends at its first NUL.
    choices.pattern = std::string(reinterpret_cast<const char*>(data + 3), pattern_length).c_str();
    const std::uint8_t* archive = data + 3 + pattern_length;
    const std::size_t archive_size = size - 3 - pattern_length;

    const Scratch& scratch = Scratch::get();
    scratch.empty();
    const fs::path archive_path = scratch.root() / "archive.zip";
    {
        std::ofstream file(archive_path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(archive), static_cast<std::streamsize>(archive_size));
        if (!file)
            fail("cannot write " + archive_path.string());
    }
    if (choices.links_in_target)
        plant_links(scratch);
    const fs::path target = scratch.root() / "out" / "target";
    for (int run = 0; run < (choices.twice ? 2 : 1); ++run) {
        check_status(run_once(choices, archive_path, target), choices);
        audit(scratch, choices, archive, archive_size);
    }
    return 0;
}
