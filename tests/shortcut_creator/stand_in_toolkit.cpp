// A stand-in for one version of the setup toolkit: it records what its `fCreateShellLink` receives
// and answers what the test asks it to. Built once per version, with TAKES_PARENT for the form
// with the flag and the parent folder, and WITHOUT_ENTRY for a library that lacks the entry.

#include "received_call.h"

#include <windows.h>

#include <cstring>

using fennimark::testing::ReceivedCall;

namespace {

ReceivedCall received;
std::int32_t answer = 1;

#ifndef WITHOUT_ENTRY
void record(int index, const char* text)
{
    if (text == nullptr) {
        received.null_texts |= 1u << index;
        return;
    }
    std::strncpy(received.texts[index], text, fennimark::testing::received_text_size - 1);
}
#endif

}  // namespace

extern "C" {

__declspec(dllexport) const ReceivedCall* WINAPI received_call()
{
    return &received;
}

__declspec(dllexport) void WINAPI answer_with(std::int32_t result)
{
    answer = result;
}

#ifndef WITHOUT_ENTRY
#ifdef TAKES_PARENT
__declspec(dllexport) std::int32_t WINAPI fCreateShellLink(char* folder, char* name, char* target, char* arguments,
                                                           std::int32_t flag, char* parent)
#else
__declspec(dllexport) std::int32_t WINAPI fCreateShellLink(char* folder, char* name, char* target, char* arguments)
#endif
{
    const std::int32_t calls = received.calls + 1;
    received = ReceivedCall{};
    received.calls = calls;
    record(0, folder);
    record(1, name);
    record(2, target);
    record(3, arguments);
#ifdef TAKES_PARENT
    received.flag = flag;
    record(4, parent);
#endif
    return answer;
}
#endif

}  // extern "C"
