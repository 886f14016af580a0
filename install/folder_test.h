#pragma once

#include "runtime/text.h"

#include <string>

namespace fennimark {

// True when the directory search sees `path`: an existing folder or ordinary file that is neither
// hidden nor system. Never raises an error: a failed search is False.
truth cartella_esiste(const std::wstring& path);

}  // namespace fennimark
