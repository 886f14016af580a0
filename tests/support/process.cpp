#include "tests/support/process.h"

#include <stdexcept>

namespace fennimark::testing {

namespace {

PROCESS_INFORMATION start(const std::wstring& program, const std::wstring& folder, const std::wstring& arguments)
{
    std::wstring command = L"\"" + program + L"\"";
    if (!arguments.empty())
        command += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &started))
        throw std::runtime_error("cannot start a program (error " + std::to_string(GetLastError()) + ")");
    return started;
}

}  // namespace

Process::Process(const std::wstring& program, const std::wstring& folder, const std::wstring& arguments)
{
    const PROCESS_INFORMATION started = start(program, folder, arguments);
    process_ = runtime::KernelHandle(started.hProcess);
    thread_ = runtime::KernelHandle(started.hThread);
    id_ = started.dwProcessId;
}

bool Process::running() const
{
    return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::wait(DWORD timeout_ms) const
{
    if (WaitForSingleObject(process_.get(), timeout_ms) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD exit_code = 0;
    GetExitCodeProcess(process_.get(), &exit_code);
    return exit_code;
}

void Process::kill() const
{
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), 30000);
}

std::wstring folder_of(const std::wstring& path)
{
    return path.substr(0, path.find_last_of(L'\\'));
}

}  // namespace fennimark::testing
