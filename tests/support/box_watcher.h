#pragma once
// Finds the message boxes of another program in the same Wine prefix and desktop, reads them and
// answers them, as the user would.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace fennimark::testing {

enum class BoxIcon { none, error, information, warning, question, unknown };

struct SeenBox {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text;
    std::vector<std::wstring> buttons;  // their captions, in window order
    bool has_icon = false;
    BoxIcon icon = BoxIcon::none;
};

// Waits up to `timeout_ms` for a dialog-box window (class #32770) titled `title`.
std::optional<SeenBox> wait_for_box(const std::wstring& title, unsigned timeout_ms);

// Waits for the next dialog box of process `process_id`; none when the process ends first or the
// time runs out.
std::optional<SeenBox> wait_for_box_of(HANDLE process, DWORD process_id, unsigned timeout_ms);

// The class names of the visible top-level windows of process `process_id`, dialog boxes included.
std::vector<std::wstring> visible_windows_of(DWORD process_id);

// Presses the button with the given id (IDOK, IDYES, ...) and waits for the box to go.
void press(const SeenBox& box, int button_id);

const wchar_t* to_string(BoxIcon icon);

// Expects the box to show `icon`, told by its pixels where programs of this kind can draw (see
// can_draw); elsewhere nothing is painted, and only the presence of an icon can be checked.
void expect_icon(const SeenBox& box, BoxIcon icon);

}  // namespace fennimark::testing
