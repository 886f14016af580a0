#include "extract/zip_reset.h"

#include "extract/zip_state.h"

namespace fennimark::zip {

void reset_extraction_state(const std::function<void()>& clear_printed_output)
{
    fine_riga = L"\r\n";
    if (clear_printed_output)
        clear_printed_output();
    registro_messaggi.clear();
    numero_file = 0;
    voci_avviate = 0;
    nomi_inclusi[0].clear();
    nomi_esclusi[0].clear();
}

}  // namespace fennimark::zip
