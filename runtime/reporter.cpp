#include "runtime/reporter.h"

#include <utility>

namespace fennimark::runtime {

namespace {

BoxReporter default_reporter;
Reporter* current = &default_reporter;

}  // namespace

int BoxReporter::tell(const MessageBoxRequest& message)
{
    return message_box(message.text, message.style, message.title);
}

Reporter& reporter()
{
    return *current;
}

ScopedReporter::ScopedReporter(Reporter& reporter) noexcept : previous_(std::exchange(current, &reporter)) {}

ScopedReporter::~ScopedReporter()
{
    current = previous_;
}

int tell(const std::wstring& text, unsigned style, const std::wstring& title)
{
    return reporter().tell(MessageBoxRequest{text, style, title});
}

void note(const std::wstring& step)
{
    reporter().note(step);
}

}  // namespace fennimark::runtime
