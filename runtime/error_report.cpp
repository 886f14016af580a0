#include "runtime/error_report.h"

#include "runtime/reporter.h"

namespace fennimark::runtime {

std::wstring error_report_text(const RunTimeError& failure)
{
    std::wstring text = L"Errore di run-time '" + std::to_wstring(failure.number()) + L"':\r\n\r\n" +
                        failure.description();
    if (!failure.subject().empty())
        text += L"\r\n" + failure.subject();
    return text;
}

void show_error_report(const RunTimeError& failure)
{
    tell(error_report_text(failure), box_style::critical, installer_title);
}

}  // namespace fennimark::runtime
