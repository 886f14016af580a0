#include "messages.h"

#include <string>

namespace unzip32 {

void Messages::say(MessageKind kind, std::string_view text) const
{
    const std::int32_t highest_level = kind == MessageKind::progress ? 0 : 1;
    if (quiet_level_ > highest_level)
        return;
    std::string line = std::string(text) + "\n";
    if (holder_ && holder_->hold(line))
        return;
    callbacks_.print(line);
}

}  // namespace unzip32
