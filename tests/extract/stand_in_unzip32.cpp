// A stand-in for the archive library: it records what its two entries receive, makes the callbacks
// the test asks for, answers the status it is given, and then scribbles over the records the way
// a library may. Built with WITHOUT_EXTRACTION for a library that lacks Wiz_SingleEntryUnzip.

#include "tests/extract/stand_in_unzip32.h"

#include <windows.h>

#include <cstring>
#include <string_view>

using fennimark::testing::StandInScript;
using fennimark::testing::StandInSeen;

namespace {

StandInScript script;
StandInSeen seen;

template <std::size_t size>
void copy_text(char (&to)[size], const char* from, bool* was_null = nullptr)
{
    if (was_null)
        *was_null = from == nullptr;
    if (from)
        std::strncpy(to, from, size - 1);
}

#ifndef WITHOUT_EXTRACTION
int non_null(char** names)
{
    int count = 0;
    for (int i = 0; i < 100; ++i)
        count += names[i] != nullptr;
    return count;
}

void call_back(const USERFUNCTIONS& callbacks)
{
    if (script.printed)
        callbacks.print(const_cast<char*>(script.printed), script.printed_length);
    if (script.listed_name)
        callbacks.SendApplicationMessage(script.size, script.size / 2, 50, script.month, script.day, script.year,
                                         script.hour, script.minute, ' ', const_cast<char*>(script.listed_name),
                                         const_cast<char*>("Deflate"), 0x1234u, ' ');
    if (script.existing_name)
        seen.replace_answer = callbacks.replace(const_cast<char*>(script.existing_name));
    if (script.ask_password) {
        char buffer[16];
        std::memset(buffer, 'p', sizeof buffer);
        seen.password_answer = callbacks.password(buffer, sizeof buffer, "Password:", "secret.txt");
        seen.password_buffer_untouched =
            std::string_view(buffer, sizeof buffer).find_first_not_of('p') == std::string_view::npos;
    }
}
#endif

}  // namespace

extern "C" {

__declspec(dllexport) void UZ_CALL stand_in_script(const StandInScript* next)
{
    script = *next;
}

__declspec(dllexport) const StandInSeen* UZ_CALL stand_in_seen()
{
    return &seen;
}

}  // extern "C"

void UZ_CALL UzpVersion2(UzpVer2* version)
{
    seen.version_call = ++seen.calls;
    MSG message;
    seen.messages_waiting = PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE) != 0;
    seen.structlen = version->structlen;
    std::memcpy(seen.betalevel, version->betalevel, sizeof seen.betalevel);
    std::memcpy(seen.date, version->date, sizeof seen.date);
    std::memcpy(seen.zlib_version, version->zlib_version, sizeof seen.zlib_version);
    // What a library may write: none of it may change the next call.
    std::memset(version, 'v', sizeof *version);
}

#ifndef WITHOUT_EXTRACTION
std::int32_t UZ_CALL Wiz_SingleEntryUnzip(std::int32_t include_count, char** include_names,
                                          std::int32_t exclude_count, char** exclude_names, DCL* options,
                                          USERFUNCTIONS* callbacks)
{
    seen.unzip_call = ++seen.calls;
    std::memcpy(seen.previous_flags, seen.flags, sizeof seen.flags);
    std::memcpy(seen.flags, options, sizeof seen.flags);
    copy_text(seen.archive, options->lpszZipFN, &seen.archive_null);
    copy_text(seen.folder, options->lpszExtractDir, &seen.folder_null);
    seen.include_count = include_count;
    seen.exclude_count = exclude_count;
    seen.include_texts = non_null(include_names);
    seen.exclude_texts = non_null(exclude_names);
    copy_text(seen.first_include, include_names[0]);
    seen.options = options;
    seen.callbacks = callbacks;
    seen.callback_fields = *callbacks;
    call_back(*callbacks);
    callbacks->TotalSize = callbacks->NumMembers = 0xFFFFFFFFu;
    return script.status;
}
#endif
