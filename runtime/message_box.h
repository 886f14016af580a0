#pragma once
// Message boxes. Every box the program shows goes through here, so that tests can see each one and
// answer it in place of a user.

#include <functional>
#include <string>

struct HWND__;

namespace fennimark::runtime {

namespace box_style {
inline constexpr unsigned ok_only = 0;
inline constexpr unsigned yes_no_cancel = 3;
inline constexpr unsigned critical = 16;     // error icon
inline constexpr unsigned information = 64;  // information icon
}  // namespace box_style

namespace box_answer {
inline constexpr int ok = 1;
inline constexpr int cancel = 2;
inline constexpr int yes = 6;
inline constexpr int no = 7;
}  // namespace box_answer

struct MessageBoxRequest {
    std::wstring text;
    unsigned style = 0;
    std::wstring title;
};

using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

// Shows a box modal to the program and returns the button pressed.
int message_box(const std::wstring& text, unsigned style, const std::wstring& title);

// The window that owns the boxes; null until the program's window exists.
void set_box_owner(HWND__* owner) noexcept;

// Puts a handler in place of the real box for as long as the object lives (for tests).
class ScopedMessageBoxHandler {
public:
    explicit ScopedMessageBoxHandler(MessageBoxHandler handler);
    ~ScopedMessageBoxHandler();
    ScopedMessageBoxHandler(const ScopedMessageBoxHandler&) = delete;
    ScopedMessageBoxHandler& operator=(const ScopedMessageBoxHandler&) = delete;

private:
    MessageBoxHandler previous_;
};

}  // namespace fennimark::runtime
