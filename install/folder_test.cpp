#include "install/folder_test.h"

#include "runtime/directory_search.h"
#include "runtime/run_time_error.h"

namespace fennimark {

truth cartella_esiste(const std::wstring& path)
{
    try {
        return runtime::find_first_entry(path, runtime::attribute::directory).empty() ? False : True;
    } catch (const runtime::RunTimeError&) {
        return False;
    } catch (const std::exception&) {
        return False;
    }
}

}  // namespace fennimark
