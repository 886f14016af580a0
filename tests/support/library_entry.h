#pragma once
// An entry of a loaded library as the function type it has: through the type-less function
// pointer, which is how such addresses may be converted. Throws, naming the entry, when the
// library lacks it.

#include <windows.h>

#include <stdexcept>
#include <string>

namespace fennimark::testing {

template <typename Function>
Function library_entry(HMODULE library, const char* name)
{
    const FARPROC entry = GetProcAddress(library, name);
    if (entry == nullptr)
        throw std::runtime_error(std::string("the library lacks the entry ") + name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(entry));
}

}  // namespace fennimark::testing
