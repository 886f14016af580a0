#include "tests/support/box_watcher.h"

#include "tests/support/system_folders.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace fennimark::testing {

namespace {

constexpr int box_text_id = 0xFFFF;
constexpr int icon_size = 32;

std::wstring window_text(HWND window)
{
    wchar_t text[4096] = {};
    GetWindowTextW(window, text, 4096);
    return text;
}

std::wstring class_of(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

struct Dib {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;

    Dib()
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = icon_size;
        info.bmiHeader.biHeight = -icon_size;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(memory, bitmap);
    }
    ~Dib()
    {
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }
    std::vector<std::uint32_t> pixels()
    {
        GdiFlush();
        const auto* first = static_cast<const std::uint32_t*>(bits);
        std::vector<std::uint32_t> all(first, first + icon_size * icon_size);
        for (auto& pixel : all)
            pixel &= 0xFFFFFF;
        return all;
    }
};

// What the box's icon control shows on the screen. Icon handles of another process cannot be
// drawn here, but the picture on the screen can be read.
std::vector<std::uint32_t> pixels_shown_by(HWND control)
{
    Dib dib;
    RECT place{};
    GetWindowRect(control, &place);
    BitBlt(dib.memory, 0, 0, icon_size, icon_size, dib.screen, place.left, place.top, SRCCOPY);
    return dib.pixels();
}

// A system icon as a box would show it, on the box's background.
std::vector<std::uint32_t> pixels_of_system_icon(LPCWSTR name, COLORREF background)
{
    Dib dib;
    RECT all{0, 0, icon_size, icon_size};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(dib.memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(dib.memory, 0, 0, LoadIconW(nullptr, name), icon_size, icon_size, 0, nullptr, DI_NORMAL);
    return dib.pixels();
}

BoxIcon kind_of(HWND control)
{
    const auto seen = pixels_shown_by(control);
    // The corner is outside every system icon's picture: it is the background.
    const COLORREF background = seen.front();
    const COLORREF as_colorref = RGB(GetBValue(background), GetGValue(background), GetRValue(background));
    const std::array<std::pair<LPCWSTR, BoxIcon>, 4> known{{{IDI_ERROR, BoxIcon::error},
                                                            {IDI_INFORMATION, BoxIcon::information},
                                                            {IDI_WARNING, BoxIcon::warning},
                                                            {IDI_QUESTION, BoxIcon::question}}};
    for (const auto& [name, kind] : known)
        if (pixels_of_system_icon(name, as_colorref) == seen)
            return kind;
    return BoxIcon::unknown;
}

BOOL CALLBACK note_child(HWND child, LPARAM seen)
{
    auto& box = *reinterpret_cast<SeenBox*>(seen);
    // The icon's id differs between Windows and Wine, its style does not.
    if (class_of(child) == L"Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        box.has_icon = true;
        // A box found the moment it appears may not be painted yet: look again for a while
        // before calling its icon unknown.
        box.icon = kind_of(child);
        for (int look = 0; box.icon == BoxIcon::unknown && look < 40; ++look) {
            Sleep(50);
            box.icon = kind_of(child);
        }
    } else if (class_of(child) == L"Button" && IsWindowVisible(child)) {
        box.buttons.push_back(window_text(child));
    }
    return TRUE;
}

SeenBox read_box(HWND window)
{
    SeenBox box;
    box.window = window;
    box.title = window_text(window);
    wchar_t text[4096] = {};
    GetDlgItemTextW(window, box_text_id, text, 4096);
    box.text = text;
    EnumChildWindows(window, note_child, reinterpret_cast<LPARAM>(&box));
    return box;
}

struct Search {
    DWORD process_id;
    HWND found;
};

BOOL CALLBACK find_box_of(HWND window, LPARAM search_address)
{
    auto& search = *reinterpret_cast<Search*>(search_address);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.process_id && class_of(window) == L"#32770" && IsWindowVisible(window)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

struct WindowsOf {
    DWORD process_id;
    std::vector<std::wstring> classes;
};

BOOL CALLBACK note_window_of(HWND window, LPARAM search_address)
{
    auto& search = *reinterpret_cast<WindowsOf*>(search_address);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.process_id && IsWindowVisible(window))
        search.classes.push_back(class_of(window));
    return TRUE;
}

}  // namespace

std::vector<std::wstring> visible_windows_of(DWORD process_id)
{
    WindowsOf search{process_id, {}};
    EnumWindows(note_window_of, reinterpret_cast<LPARAM>(&search));
    return search.classes;
}

std::optional<SeenBox> wait_for_box(const std::wstring& title, unsigned timeout_ms)
{
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    while (GetTickCount64() < deadline) {
        if (HWND window = FindWindowW(L"#32770", title.c_str()))
            return read_box(window);
        Sleep(50);
    }
    return std::nullopt;
}

std::optional<SeenBox> wait_for_box_of(HANDLE process, DWORD process_id, unsigned timeout_ms)
{
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    while (GetTickCount64() < deadline) {
        Search search{process_id, nullptr};
        EnumWindows(find_box_of, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            Sleep(100);  // let the box finish drawing its controls
            return read_box(search.found);
        }
        if (WaitForSingleObject(process, 50) == WAIT_OBJECT_0)
            return std::nullopt;
    }
    return std::nullopt;
}

void press(const SeenBox& box, int button_id)
{
    PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(button_id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box.window, button_id)));
    for (int waited = 0; waited < 200 && IsWindow(box.window); ++waited)
        Sleep(25);
}

const wchar_t* to_string(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::none: return L"none";
    case BoxIcon::error: return L"error";
    case BoxIcon::information: return L"information";
    case BoxIcon::warning: return L"warning";
    case BoxIcon::question: return L"question";
    default: return L"unknown";
    }
}

void expect_icon(const SeenBox& box, BoxIcon icon)
{
    if (icon == BoxIcon::none) {
        EXPECT_FALSE(box.has_icon);
    } else if (can_draw()) {
        EXPECT_EQ(box.icon, icon) << to_string(box.icon);
    } else {
        EXPECT_TRUE(box.has_icon) << "expected the " << to_string(icon) << " icon";
    }
}

}  // namespace fennimark::testing
