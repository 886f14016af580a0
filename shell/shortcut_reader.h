#pragma once
// Reading a shortcut file (.lnk) through the shell's link object.
//
// Every text field comes back as field text: exactly 255 characters, the value (at most 254), one
// NUL, then blanks. The install-folder code relies on that form.

#include "runtime/text.h"

#include <cstdint>
#include <string>

namespace fennimark {

inline constexpr std::size_t field_text_length = 255;

// Reads the target path, working folder, arguments, icon location, icon index and show command of
// the shortcut `link_path`. True only when the file was loaded and every field read; the outputs
// are written one by one as the reads go, so after a failure the fields already read hold their
// values and the one whose read failed holds 255 blanks. An empty path gives False at once.
// Raises a run-time error when the shell's link object cannot be created.
truth leggi_collegamento(const std::wstring& link_path, std::wstring& percorso, std::wstring& cartella_lavoro,
                         std::wstring& argomenti, std::wstring& percorso_icona, std::int32_t& indice_icona,
                         std::int32_t& comando_finestra);

// The working-folder field of the shortcut: field text, 255 blanks when its own read failed, or the
// empty text when the reading failed before it.
std::wstring leggi_cartella_lavoro(const std::wstring& link_path);

}  // namespace fennimark
