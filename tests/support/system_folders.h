#pragma once
// The prefix's folders that the program under test uses, and whether this process can draw.

#include <string>

namespace fennimark::testing {

// The current user's Start-menu Programs folder, without a trailing backslash.
std::wstring programs_folder();
// The Programs folder of all users.
std::wstring all_users_programs_folder();

// The system folder the program under test means by C:\windows\system32. The tests are built
// for the same Windows as the program, so it is this process's own view: for a 32-bit program
// on 64-bit Windows the system redirects it to C:\windows\syswow64.
inline const std::wstring system32_as_seen = L"C:\\windows\\system32";
// Where its copies really land, and the 64-bit system folder, named so that no redirection
// applies whatever this process is.
std::wstring system_folder_of_program();
std::wstring native_system32();
bool program_is_32_bit();

// False where this process gets no working drawing (Wine's WoW64 mode gives 32-bit programs
// windows and boxes but no GDI: no device capabilities, no icons, nothing painted), so that
// tests of pixels and fonts can say why they are skipped.
bool can_draw();

}  // namespace fennimark::testing
