#include "tests/support/shortcuts.h"

#include "runtime/com.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <stdexcept>

namespace fennimark::testing {

void make_shortcut(const std::wstring& link_path, const ShortcutFields& fields)
{
    runtime::ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        throw std::runtime_error("no shell link object");
    link->SetPath(fields.target.c_str());
    link->SetWorkingDirectory(fields.working_folder.c_str());
    link->SetArguments(fields.arguments.c_str());
    if (!fields.icon_path.empty())
        link->SetIconLocation(fields.icon_path.c_str(), fields.icon_index);
    link->SetShowCmd(fields.show_command);
    runtime::ComPtr<IPersistFile> file;
    if (FAILED(link.query(file)) || FAILED(file->Save(link_path.c_str(), TRUE)))
        throw std::runtime_error("cannot save the shortcut");
}

}  // namespace fennimark::testing
