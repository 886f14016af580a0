#include "app/form1.h"

#include "runtime/message_box.h"

#include <commctrl.h>

#include <algorithm>
#include "runtime/program_end.h"
#include "runtime/run_time_error.h"

namespace fennimark {

namespace {

constexpr wchar_t window_class_name[] = L"FennimarkPatchForm1";
constexpr UINT first_activation_message = WM_APP + 1;
constexpr int icon_resource_id = 1;

// The design, in twips (1/1440 inch) as it was drawn; converted with the display's real DPI.
constexpr int client_width_twips = 4230;
constexpr int client_height_twips = 765;
constexpr int label_left_twips = 240;
constexpr int label_top_twips = 240;
constexpr int label_width_twips = 3615;
constexpr int label_height_twips = 240;
// The progress bar: under the label, as wide, inside the designed client area (765 twips high).
constexpr int bar_top_twips = 540;
constexpr int bar_height_twips = 135;
constexpr int font_size_hundredths_of_point = 975;

constexpr DWORD form_style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD form_ex_style = WS_EX_WINDOWEDGE;

int screen_dpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int twips_to_pixels(int twips, int dpi)
{
    return MulDiv(twips, dpi, 1440);
}

HFONT make_font(const wchar_t* face, int weight, int dpi)
{
    LOGFONTW font{};
    font.lfHeight = -MulDiv(font_size_hundredths_of_point, dpi, 7200);
    font.lfWeight = weight;
    font.lfCharSet = ANSI_CHARSET;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

void register_window_class(HINSTANCE instance, HICON large_icon, HICON small_icon, WNDPROC window_procedure)
{
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = window_procedure;
    window_class.hInstance = instance;
    window_class.hIcon = large_icon;
    window_class.hIconSm = small_icon;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = window_class_name;
    if (!RegisterClassExW(&window_class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        runtime::raise(runtime::error::cannot_create_object, window_class_name);
}

}  // namespace

Form1::Form1() : activation_handler_([this] { Form_Activate(); }) {}

Form1::~Form1()
{
    destroy();
    if (large_icon_)
        DestroyIcon(large_icon_);
    if (small_icon_)
        DestroyIcon(small_icon_);
}

void Form1::create(HINSTANCE instance)
{
    const int dpi = screen_dpi();
    large_icon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(icon_resource_id), IMAGE_ICON,
                                                64, 64, LR_DEFAULTCOLOR));
    small_icon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(icon_resource_id), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON),
                                                GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    register_window_class(instance, large_icon_, small_icon_, &Form1::window_procedure);

    RECT frame{0, 0, twips_to_pixels(client_width_twips, dpi), twips_to_pixels(client_height_twips, dpi)};
    AdjustWindowRectEx(&frame, form_style, FALSE, form_ex_style);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;

    window_ = CreateWindowExW(form_ex_style, window_class_name, L"Fennimark", form_style, left, top, width,
                              height, nullptr, nullptr, instance, this);
    if (!window_)
        runtime::raise(runtime::error::cannot_create_object, L"Form1");
    if (large_icon_)
        SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large_icon_));
    if (small_icon_)
        SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_));

    label_ = CreateWindowExW(0, L"STATIC", L"aggiornamento in elaborazione...",
                             WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX,
                             twips_to_pixels(label_left_twips, dpi), twips_to_pixels(label_top_twips, dpi),
                             twips_to_pixels(label_width_twips, dpi), twips_to_pixels(label_height_twips, dpi),
                             window_, nullptr, instance, nullptr);
    if (!label_)
        runtime::raise(runtime::error::cannot_create_object, L"Label1");

    // Hidden until the extraction has something to show; a window without it would still work.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    progress_bar_ = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | PBS_SMOOTH,
                                    twips_to_pixels(label_left_twips, dpi), twips_to_pixels(bar_top_twips, dpi),
                                    twips_to_pixels(label_width_twips, dpi), twips_to_pixels(bar_height_twips, dpi),
                                    window_, nullptr, instance, nullptr);
    taskbar_progress_ = std::make_unique<TaskbarProgress>(window_);

    form_font_.reset(make_font(L"Tahoma", FW_NORMAL, dpi));
    label_font_.reset(make_font(L"Verdana", FW_BOLD, dpi));
    SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(label_font_.get()), FALSE);
    runtime::set_box_owner(window_);
}

void Form1::show()
{
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    UpdateWindow(window_);
}

void Form1::destroy() noexcept
{
    if (window_)
        DestroyWindow(window_);
}

void Form1::show_progress(std::uint32_t done, std::uint32_t total) noexcept
{
    if (!progress_bar_)
        return;
    // A range of at least one, so that an archive without entries still ends full.
    const std::uint32_t range = std::max<std::uint32_t>(total, 1);
    if (range != progress_total_) {
        progress_total_ = range;
        SendMessageW(progress_bar_, PBM_SETRANGE32, 0, static_cast<LPARAM>(range));
    }
    const std::uint32_t position = std::min(done, range);
    SendMessageW(progress_bar_, PBM_SETPOS, position, 0);
    if (!IsWindowVisible(progress_bar_))
        ShowWindow(progress_bar_, SW_SHOWNA);
    if (taskbar_progress_)
        taskbar_progress_->show(position, range);
}

void Form1::finish_progress() noexcept
{
    if (progress_bar_ && IsWindowVisible(progress_bar_))
        show_progress(progress_total_, progress_total_);
}

void Form1::reset_progress() noexcept
{
    if (progress_bar_ && IsWindowVisible(progress_bar_))
        show_progress(0, progress_total_);
}

void Form1::hide_progress() noexcept
{
    if (progress_bar_)
        ShowWindow(progress_bar_, SW_HIDE);
    if (taskbar_progress_)
        taskbar_progress_->hide();
}

void Form1::Cls()
{
    if (window_)
        InvalidateRect(window_, nullptr, TRUE);
}

LRESULT CALLBACK Form1::window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_NCCREATE) {
        auto* creating = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        creating->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creating));
    }
    auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form)
        return DefWindowProcW(window, message, wparam, lparam);
    return form->handle(message, wparam, lparam);
}

LRESULT Form1::handle(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_ACTIVATE:
        // The work waits for a message of its own so the window is drawn first.
        if (LOWORD(wparam) != WA_INACTIVE && !activated_) {
            activated_ = true;
            PostMessageW(window_, first_activation_message, 0, 0);
        }
        break;
    case first_activation_message:
        run_first_activation();
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(form_font_.get());
    case WM_CLOSE:
        // Closing half-way through would leave the catalogue half replaced.
        if (busy_)
            return 0;
        break;
    case WM_DESTROY: {
        HWND closing = window_;
        window_ = nullptr;
        label_ = nullptr;
        progress_bar_ = nullptr;
        taskbar_progress_.reset();
        runtime::set_box_owner(nullptr);
        SetWindowLongPtrW(closing, GWLP_USERDATA, 0);
        if (quit_on_destroy_)
            PostQuitMessage(exit_code_);
        return DefWindowProcW(closing, message, wparam, lparam);
    }
    default:
        break;
    }
    return DefWindowProcW(window_, message, wparam, lparam);
}

void Form1::run_first_activation() noexcept
{
    UpdateWindow(window_);
    busy_ = true;
    const int outcome = runtime::run_guarded(activation_handler_);
    busy_ = false;
    if (outcome != runtime::still_running) {
        exit_code_ = outcome;
        destroy();
    }
}

}  // namespace fennimark
