#include "runtime/program_end.h"

#include "runtime/error_report.h"
#include "runtime/run_time_error.h"

#include <new>

namespace fennimark::runtime {

void end_program(int exit_code)
{
    throw ProgramEnd{exit_code};
}

int run_guarded(const std::function<void()>& body) noexcept
{
    try {
        try {
            body();
            return still_running;
        } catch (const ProgramEnd& end) {
            return end.exit_code;
        } catch (const RunTimeError& failure) {
            show_error_report(failure);
        } catch (const std::bad_alloc&) {
            show_error_report(RunTimeError(7, L"Memoria esaurita", L""));
        } catch (const std::exception&) {
            show_error_report(RunTimeError(51, L"Errore interno", L""));
        }
    } catch (...) {
        // Showing the report itself failed; the exit code still tells what happened.
    }
    return exit_code::run_time_error;
}

}  // namespace fennimark::runtime
