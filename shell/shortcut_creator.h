#pragma once
// Creating a Start-menu shortcut through whichever setup-toolkit library is present.

#include "runtime/text.h"

#include <cstdint>
#include <string>

namespace fennimark::shell {

// Creates the shortcut through toolkit numero_kit (4, 5 or 6, or 0 to probe for one). True when
// the library reports success; any failure is False, with nothing shown.
truth crea_collegamento(std::int32_t numero_kit, std::wstring testo1, std::wstring testo2, std::wstring testo3);

}  // namespace fennimark::shell
