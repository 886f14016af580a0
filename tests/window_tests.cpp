// The window's design values, read back from the real window.

#include "app/form1.h"
#include "app/window_reporter.h"
#include "runtime/program_end.h"
#include "tests/support/message_pump.h"
#include "tests/support/system_folders.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>

namespace fennimark {
namespace {

int screen_dpi()
{
    // A screen whose capabilities cannot be read (no drawing, as under WoW64 here) is taken as
    // the usual 96 dots per inch.
    if (!testing::can_draw())
        return 96;
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int pixels(int twips)
{
    return MulDiv(twips, screen_dpi(), 1440);
}

LOGFONTW font_of(HWND window)
{
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    EXPECT_NE(handle, nullptr);
    EXPECT_EQ(GetObjectW(handle, sizeof font, &font), static_cast<int>(sizeof font));
    return font;
}

std::wstring text_of(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

class Window : public ::testing::Test {
protected:
    void SetUp() override
    {
        form_.set_activation_handler([this] {
            ++activations_;
            label_visible_at_activation_ = IsWindowVisible(form_.label()) != FALSE;
        });
        form_.create(GetModuleHandleW(nullptr));
        form_.show();
        ASSERT_TRUE(testing::pump_messages_until([this] { return activations_ > 0; }));
    }

    Form1 form_;
    int activations_ = 0;
    bool label_visible_at_activation_ = false;
};

TEST_F(Window, HasItsCaptionSizeAndPlace)
{
    HWND window = form_.window();
    EXPECT_EQ(text_of(window), L"Fennimark");
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, pixels(4230));
    EXPECT_EQ(client.bottom, pixels(765));
    if (screen_dpi() == 96) {
        EXPECT_EQ(client.right, 282);
        EXPECT_EQ(client.bottom, 51);
    }
    RECT frame{};
    GetWindowRect(window, &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
}

TEST_F(Window, HasAFixedSingleBorderWithoutMinimiseOrMaximise)
{
    const LONG style = GetWindowLongW(form_.window(), GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
}

TEST_F(Window, AsksForTahomaAndItsLabelForVerdanaBold)
{
    if (!testing::can_draw())
        GTEST_SKIP() << "fonts cannot be read back where programs of this kind get no drawing (Wine's WoW64 mode "
                        "runs 32-bit programs without GDI); the 64-bit build checks them";
    const int height = -MulDiv(975, screen_dpi(), 7200);
    const LOGFONTW form_font = font_of(form_.window());
    EXPECT_STREQ(form_font.lfFaceName, L"Tahoma");
    EXPECT_EQ(form_font.lfHeight, height);
    EXPECT_EQ(form_font.lfWeight, 400);
    EXPECT_FALSE(form_font.lfItalic || form_font.lfUnderline || form_font.lfStrikeOut);
    EXPECT_EQ(form_font.lfCharSet, 0);

    const LOGFONTW label_font = font_of(form_.label());
    EXPECT_STREQ(label_font.lfFaceName, L"Verdana");
    EXPECT_EQ(label_font.lfHeight, height);
    EXPECT_EQ(label_font.lfWeight, 700);
    EXPECT_FALSE(label_font.lfItalic || label_font.lfUnderline || label_font.lfStrikeOut);
    EXPECT_EQ(label_font.lfCharSet, 0);
}

TEST_F(Window, ItsLabelShowsTheWorkInProgressWhereItWasDrawn)
{
    HWND label = form_.label();
    EXPECT_EQ(text_of(label), L"aggiornamento in elaborazione...");
    EXPECT_EQ(GetParent(label), form_.window());
    RECT place{};
    GetWindowRect(label, &place);
    MapWindowPoints(nullptr, form_.window(), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, pixels(240));
    EXPECT_EQ(place.top, pixels(240));
    EXPECT_EQ(place.right - place.left, pixels(3615));
    EXPECT_EQ(place.bottom - place.top, pixels(240));
    EXPECT_TRUE(label_visible_at_activation_);
}

TEST_F(Window, TheWorkRunsOnceHoweverOftenTheWindowIsActivated)
{
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    SetActiveWindow(other);
    SetActiveWindow(form_.window());
    testing::pump_messages_until([] { return false; }, 200);
    DestroyWindow(other);
    EXPECT_EQ(activations_, 1);
}

TEST(WindowEnd, AnEndDuringTheWorkClosesTheWindowWithItsExitCode)
{
    Form1 form;
    form.set_activation_handler([] { runtime::end_program(1); });
    form.create(GetModuleHandleW(nullptr));
    form.show();
    EXPECT_TRUE(testing::pump_messages_until([&] { return form.window() == nullptr; }));
    EXPECT_EQ(form.exit_code(), 1);
}

TEST_F(Window, ItsProgressBarLiesUnderTheLabelInsideTheDesignAndFollowsTheWork)
{
    HWND bar = form_.progress_bar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(GetParent(bar), form_.window());
    EXPECT_FALSE(IsWindowVisible(bar)) << "shown before there is progress";
    RECT place{}, label{}, client{};
    GetWindowRect(bar, &place);
    MapWindowPoints(nullptr, form_.window(), reinterpret_cast<POINT*>(&place), 2);
    GetWindowRect(form_.label(), &label);
    MapWindowPoints(nullptr, form_.window(), reinterpret_cast<POINT*>(&label), 2);
    GetClientRect(form_.window(), &client);
    EXPECT_EQ(place.left, label.left);
    EXPECT_EQ(place.right, label.right);
    EXPECT_GE(place.top, label.bottom);
    EXPECT_LE(place.bottom, client.bottom);
    EXPECT_GT(place.bottom, place.top);

    struct Step {
        const char* what;
        std::function<void()> act;
        bool shown;
        int position, maximum;
    };
    const Step steps[] = {
        {"first progress", [&] { form_.show_progress(3, 10); }, true, 3, 10},
        {"more than the total", [&] { form_.show_progress(12, 10); }, true, 10, 10},
        {"rollback", [&] { form_.reset_progress(); }, true, 0, 10},
        {"the call returned", [&] { form_.finish_progress(); }, true, 10, 10},
        {"before a box", [&] { form_.hide_progress(); }, false, 10, 10},
        {"an empty archive", [&] { form_.show_progress(0, 0); }, true, 0, 1},
        {"its end", [&] { form_.finish_progress(); }, true, 1, 1},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(IsWindowVisible(bar) != FALSE, step.shown) << step.what;
        EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), step.position) << step.what;
        EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), step.maximum) << step.what;
    }
}

TEST(WindowAlive, ProgressLetsEventsRunAndClosingStaysRefused)
{
    Form1 form;
    WindowReporter reporter(form, nullptr);
    const runtime::ScopedReporter reporting(reporter);
    bool painted_meanwhile = false, alive_after_close = false, done = false;
    form.set_activation_handler([&] {
        // A repaint and a close wait for the window while the work runs.
        InvalidateRect(form.window(), nullptr, TRUE);
        PostMessageW(form.window(), WM_CLOSE, 0, 0);
        reporter.progress(1, 2);
        painted_meanwhile = GetUpdateRect(form.window(), nullptr, FALSE) == FALSE;
        alive_after_close = form.window() != nullptr && IsWindow(form.window());
        done = true;
    });
    form.create(GetModuleHandleW(nullptr));
    form.show();
    ASSERT_TRUE(testing::pump_messages_until([&] { return done; }));
    EXPECT_TRUE(alive_after_close);
    EXPECT_TRUE(painted_meanwhile);
}

}  // namespace
}  // namespace fennimark
