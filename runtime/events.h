#pragma once

#include <cstdint>

namespace fennimark::runtime {

// Lets every window event that is waiting run, so the window can repaint during long work.
void do_events();

// How many times do_events has run since the program started (for tests).
std::uint64_t do_events_count() noexcept;

}  // namespace fennimark::runtime
