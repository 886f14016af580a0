#pragma once
// Only one copy of the installer may run at a time: a second one would take the first one's saved
// ledger for an interrupted run and undo its work while it is still extracting.

#include "runtime/handles.h"

namespace fennimark {

inline constexpr wchar_t single_instance_name[] = L"Global\\Fennimark.Patch8";

class SingleInstance {
public:
    // Takes the machine-wide name; raises a run-time error when the system cannot make it at all.
    SingleInstance();

    // False when another copy holds the name.
    bool first() const noexcept { return first_; }

private:
    runtime::KernelHandle mutex_;
    bool first_ = false;
};

// What a second copy tells the user before it ends with exit code 1, having touched nothing.
[[noreturn]] void refuse_second_copy();

}  // namespace fennimark
