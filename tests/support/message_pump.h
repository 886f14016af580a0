#pragma once

#include <functional>

namespace fennimark::testing {

// Runs window events until `done` answers true or `timeout_ms` have passed; returns `done()`.
bool pump_messages_until(const std::function<bool()>& done, unsigned timeout_ms = 5000);

}  // namespace fennimark::testing
