#include "messages.h"

#include <string>

namespace unzip32 {

void Messages::say(MessageKind kind, std::string_view text) const
{
    const std::int32_t highest_level = kind == MessageKind::progress ? 0 : 1;
    if (quiet_level_ > highest_level)
        return;
    callbacks_.print(std::string(text) + "\n");
}

}  // namespace unzip32
