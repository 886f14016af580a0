#include "tests/support/system_folders.h"

#include <shlobj.h>
#include <windows.h>

namespace fennimark::testing {

namespace {

std::wstring special_folder(int csidl)
{
    wchar_t folder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder);
    return folder;
}

}  // namespace

std::wstring programs_folder()
{
    return special_folder(CSIDL_PROGRAMS);
}

std::wstring all_users_programs_folder()
{
    return special_folder(CSIDL_COMMON_PROGRAMS);
}

bool program_is_32_bit()
{
    return sizeof(void*) == 4;
}

std::wstring native_system32()
{
    // A 32-bit process reaches the real system folder through the alias "sysnative".
    return program_is_32_bit() ? L"C:\\windows\\sysnative" : L"C:\\windows\\system32";
}

std::wstring system_folder_of_program()
{
    return program_is_32_bit() ? L"C:\\windows\\syswow64" : native_system32();
}

bool can_draw()
{
    HDC screen = GetDC(nullptr);
    const bool drawn = screen != nullptr && GetDeviceCaps(screen, LOGPIXELSY) > 0;
    if (screen != nullptr)
        ReleaseDC(nullptr, screen);
    return drawn;
}

}  // namespace fennimark::testing
