#pragma once
// The immediate end of the program. Ending is an exception of its own kind, not a run-time error,
// so that no error trap can stop it; it unwinds to the window's event handler, which closes the
// window, and every resource on the way is released by its owner.

#include <functional>

namespace fennimark::runtime {

// Exit codes, for administrators' scripts.
namespace exit_code {
inline constexpr int success = 0;
inline constexpr int refused = 1;
inline constexpr int run_time_error = 2;
inline constexpr int extraction_failed = 3;
}  // namespace exit_code

struct ProgramEnd {
    int exit_code;
};

[[noreturn]] void end_program(int exit_code);

// Runs a piece of the program: returns the exit code it ended with, after giving any run-time
// error that escaped it the default report, or still_running when the body simply returned.
inline constexpr int still_running = -1;
int run_guarded(const std::function<void()>& body) noexcept;

}  // namespace fennimark::runtime
