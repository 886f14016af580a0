#pragma once
// Finds the message boxes of another program in the same Wine prefix and desktop, reads them and
// answers them, as the user would.

#include <windows.h>

#include <optional>
#include <string>

namespace fennimark::testing {

struct SeenBox {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text;
    bool has_icon = false;
};

// Waits up to `timeout_ms` for a dialog-box window (class #32770) titled `title`.
std::optional<SeenBox> wait_for_box(const std::wstring& title, unsigned timeout_ms);

// Presses the button with the given id (IDOK, IDYES, ...).
void press(const SeenBox& box, int button_id);

}  // namespace fennimark::testing
