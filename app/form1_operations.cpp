// The window's public operations: each hands its work to the installation, which does not need
// the window.

#include "app/form1.h"
#include "install/catalogue_replacement.h"
#include "install/installation.h"
#include "install/patch_ledger.h"
#include "shell/shortcut_creator.h"

namespace fennimark {

void Form1::Form_Activate()
{
    install::install_patch(options_);
}

void Form1::controlla_file(const std::wstring& file1, std::int16_t versione)
{
    install::controlla_file(file1, versione);
}

void Form1::correzione_path(const std::wstring& Path)
{
    install::correzione_path(Path);
}

truth Form1::crea_collegamento(std::int32_t numero_kit, std::wstring testo1, std::wstring testo2, std::wstring testo3)
{
    return shell::crea_collegamento(numero_kit, std::move(testo1), std::move(testo2), std::move(testo3));
}

}  // namespace fennimark
