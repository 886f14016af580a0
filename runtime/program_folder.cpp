#include "runtime/program_folder.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace fennimark::runtime {

namespace {
std::optional<std::wstring>& folder_override()
{
    static std::optional<std::wstring> folder;
    return folder;
}
}  // namespace

std::wstring program_folder()
{
    if (folder_override())
        return *folder_override();
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) {
            std::wstring path(buffer.data(), length);
            const auto slash = path.find_last_of(L"\\/");
            if (slash == std::wstring::npos)
                return {};
            // A root keeps its backslash: "C:\" rather than "C:".
            return path.substr(0, slash == 2 && path[1] == L':' ? slash + 1 : slash);
        }
        buffer.resize(buffer.size() * 2);
    }
}

ScopedProgramFolder::ScopedProgramFolder(std::wstring folder)
    : previous_(std::exchange(folder_override(), std::move(folder)))
{
}

ScopedProgramFolder::~ScopedProgramFolder()
{
    folder_override() = std::move(previous_);
}

}  // namespace fennimark::runtime
