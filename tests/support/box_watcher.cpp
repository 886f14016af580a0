#include "tests/support/box_watcher.h"

namespace fennimark::testing {

namespace {

constexpr int box_text_id = 0xFFFF;

BOOL CALLBACK note_icon(HWND child, LPARAM found)
{
    // The icon's id differs between Windows and Wine, its style does not.
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        *reinterpret_cast<bool*>(found) = true;
    return TRUE;
}

std::wstring window_text(HWND window)
{
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

}  // namespace

std::optional<SeenBox> wait_for_box(const std::wstring& title, unsigned timeout_ms)
{
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    while (GetTickCount64() < deadline) {
        if (HWND window = FindWindowW(L"#32770", title.c_str())) {
            SeenBox box;
            box.window = window;
            box.title = window_text(window);
            wchar_t text[4096] = {};
            GetDlgItemTextW(window, box_text_id, text, 4096);
            box.text = text;
            EnumChildWindows(window, note_icon, reinterpret_cast<LPARAM>(&box.has_icon));
            return box;
        }
        Sleep(50);
    }
    return std::nullopt;
}

void press(const SeenBox& box, int button_id)
{
    PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(button_id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box.window, button_id)));
}

}  // namespace fennimark::testing
