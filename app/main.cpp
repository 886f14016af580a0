// The patch installer's entry point. Without switches it only creates the window, which does the
// work when it becomes active, and runs the window's events until the window closes. A deployment
// tool's switches may ask for a log, an install folder, or quiet mode, where the installation runs
// with no window and no box at all and tells everything to the log.

#include "app/command_line.h"
#include "app/form1.h"
#include "app/quiet_reporter.h"
#include "app/single_instance.h"
#include "app/window_reporter.h"
#include "install/installation.h"
#include "runtime/com.h"
#include "runtime/error_report.h"
#include "runtime/log_file.h"
#include "runtime/program_end.h"
#include "runtime/reporter.h"
#include "runtime/run_time_error.h"

#include <windows.h>

#include <memory>
#include <optional>

namespace fennimark {

namespace {

constexpr int bad_command_line = 4;

std::unique_ptr<runtime::LogFile> open_log(const std::wstring& path)
{
    try {
        return std::make_unique<runtime::LogFile>(path);
    } catch (const runtime::RunTimeError&) {
        return nullptr;
    }
}

// Only one copy may work at a time; a second is refused through the reporter, so that in quiet
// mode it is a log line and exit code 1 like any other refusal. The name is held until the
// program ends.
int take_single_instance(std::optional<SingleInstance>& single_copy)
{
    return runtime::run_guarded([&] {
        single_copy.emplace();
        if (!single_copy->first())
            refuse_second_copy();
    });
}

// The window's message loop, from its creation to its end; the exit code it ended with.
int run_window(HINSTANCE instance, Form1& form)
{
    const int start = runtime::run_guarded([&] {
        form.create(instance);
        form.set_quit_on_destroy(true);
        form.show();
    });
    if (start != runtime::still_running)
        return start;

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return form.exit_code();
}

int run_quietly(const install::InstallationOptions& options)
{
    const int outcome = runtime::run_guarded([&] { install::install_patch(options); });
    return outcome == runtime::still_running ? runtime::exit_code::success : outcome;
}

int run(HINSTANCE instance)
{
    const CommandLine command = read_command_line(program_arguments());
    if (command.quiet)
        SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);

    std::wstring problem = command.problem;
    std::unique_ptr<runtime::LogFile> log;
    if (command.log) {
        log = open_log(*command.log);
        if (!log && problem.empty())
            problem = L"Impossibile aprire il file di registro \"" + *command.log + L"\" per aggiungervi righe.";
    }
    // Quiet mode always has a log to tell to, unless even the default one cannot be opened.
    if (!log && command.quiet)
        log = open_log(runtime::default_log_path());

    Form1 form;
    WindowReporter window_reporter(form, log.get());
    QuietReporter quiet_reporter(log.get());
    runtime::Reporter* reporter = &window_reporter;
    if (command.quiet)
        reporter = &quiet_reporter;
    const runtime::ScopedReporter reporting(*reporter);

    runtime::note(L"Avvio: " + std::wstring(GetCommandLineW()));
    int exit_code = runtime::exit_code::success;
    std::optional<SingleInstance> single_copy;
    if (!problem.empty()) {
        runtime::tell(command_line_error_text(problem), runtime::box_style::critical, runtime::installer_title);
        exit_code = bad_command_line;
    } else if (command.help) {
        runtime::tell(help_text(), runtime::box_style::information, runtime::installer_title);
    } else if ((exit_code = take_single_instance(single_copy)) == runtime::still_running) {
        install::InstallationOptions options;
        options.install_folder = command.install_folder;
        if (command.quiet) {
            exit_code = run_quietly(options);
        } else {
            form.set_installation_options(std::move(options));
            exit_code = run_window(instance, form);
        }
    }
    runtime::note(L"Codice di uscita: " + std::to_wstring(exit_code));
    return exit_code;
}

}  // namespace

}  // namespace fennimark

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    fennimark::runtime::ComApartment apartment;
    return fennimark::run(instance);
}
