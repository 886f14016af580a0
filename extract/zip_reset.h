#pragma once
// The part of the extraction state that a caller sets before each extraction.

#include <functional>

namespace fennimark::zip {

// In this order: a new line break, the window's printed output cleared (by `clear_printed_output`,
// which may be empty where there is no window), an empty message log, no files counted (listed or
// handed out), and no names in either list.
void reset_extraction_state(const std::function<void()>& clear_printed_output);

}  // namespace fennimark::zip
