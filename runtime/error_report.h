#pragma once
// The default report of a run-time error that nothing handled: the error's number and description,
// told through the reporter (a box, or log lines in quiet mode), after which the program ends.

#include "runtime/run_time_error.h"

#include <string>

namespace fennimark::runtime {

inline constexpr wchar_t installer_title[] = L"Quorvane";

// "Errore di run-time 'N':", an empty line, the description, and the subject on a line of its own.
std::wstring error_report_text(const RunTimeError& failure);

void show_error_report(const RunTimeError& failure);

}  // namespace fennimark::runtime
