// Message boxes where there is no window system to show them: a box that nobody can see returns
// at once with no button pressed (0), as a Windows box does without a display, unless a handler
// answers in place of a user.

#include "runtime/message_box.h"

#include <utility>

namespace fennimark::runtime {

namespace {
MessageBoxHandler& installed_handler()
{
    static MessageBoxHandler handler;
    return handler;
}
}  // namespace

int message_box(const std::wstring& text, unsigned style, const std::wstring& title)
{
    if (const auto& handler = installed_handler())
        return handler(MessageBoxRequest{text, style, title});
    return 0;
}

void set_box_owner(HWND__*) noexcept {}

ScopedMessageBoxHandler::ScopedMessageBoxHandler(MessageBoxHandler handler)
    : previous_(std::exchange(installed_handler(), std::move(handler)))
{
}

ScopedMessageBoxHandler::~ScopedMessageBoxHandler()
{
    installed_handler() = std::move(previous_);
}

}  // namespace fennimark::runtime
