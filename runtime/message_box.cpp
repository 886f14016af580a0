#include "runtime/message_box.h"

#include <windows.h>

#include <utility>

namespace fennimark::runtime {

namespace {
MessageBoxHandler& installed_handler()
{
    static MessageBoxHandler handler;
    return handler;
}
HWND box_owner = nullptr;
}  // namespace

int message_box(const std::wstring& text, unsigned style, const std::wstring& title)
{
    if (const auto& handler = installed_handler())
        return handler(MessageBoxRequest{text, style, title});
    // MB_TASKMODAL when there is no window yet keeps the box modal to the program all the same.
    const UINT modality = box_owner ? MB_APPLMODAL : MB_TASKMODAL;
    return MessageBoxW(box_owner, text.c_str(), title.c_str(), style | modality | MB_SETFOREGROUND);
}

void set_box_owner(HWND owner) noexcept
{
    box_owner = owner;
}

ScopedMessageBoxHandler::ScopedMessageBoxHandler(MessageBoxHandler handler)
    : previous_(std::exchange(installed_handler(), std::move(handler)))
{
}

ScopedMessageBoxHandler::~ScopedMessageBoxHandler()
{
    installed_handler() = std::move(previous_);
}

}  // namespace fennimark::runtime
