// The library's two exported entries. Nothing thrown inside the library may unwind into a caller
// that may not even be written in C++: every exception ends here.

#include "unzip32.h"

#include "run.h"
#include "version.h"

#include <new>

extern "C" {

UZ_EXPORT void UZ_CALL UzpVersion2(UzpVer2* version)
{
    try {
        if (version != nullptr && version->structlen == sizeof(UzpVer2))
            unzip32::fill_version(*version);
    } catch (...) {
    }
}

UZ_EXPORT int32_t UZ_CALL Wiz_SingleEntryUnzip(int32_t include_count, char** include_names, int32_t exclude_count,
                                               char** exclude_names, DCL* options, USERFUNCTIONS* callbacks)
{
    try {
        return unzip32::run_single_entry_unzip(include_count, include_names, exclude_count, exclude_names, options,
                                               callbacks);
    } catch (...) {
        return UZ_INTERNAL;
    }
}

}  // extern "C"
