#pragma once
// A program started as a user starts it, from a folder, and waited for.

#include "runtime/handles.h"

#include <windows.h>

#include <optional>
#include <string>

namespace fennimark::testing {

class Process {
public:
    // Starts `program` (a full path) with `arguments` in `folder`; throws when it cannot start.
    Process(const std::wstring& program, const std::wstring& folder, const std::wstring& arguments = L"");

    HANDLE handle() const { return process_.get(); }
    DWORD id() const { return id_; }
    bool running() const;
    // Its exit code once it has ended, waiting at most `timeout_ms`; none while it still runs.
    std::optional<DWORD> wait(DWORD timeout_ms) const;
    // Ends it at once, as a power cut would, and waits for the end.
    void kill() const;

private:
    runtime::KernelHandle process_;
    runtime::KernelHandle thread_;
    DWORD id_ = 0;
};

// The folder of a full path.
std::wstring folder_of(const std::wstring& path);

}  // namespace fennimark::testing
