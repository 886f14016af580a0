#include "extract/zip_driver.h"
#include "extract/zip_state.h"
namespace fennimark::zip {
void estrai_archivio(const std::wstring&, const std::wstring&, const std::int16_t&, const std::int16_t&,
                     const std::int16_t&, const std::int16_t&, const std::int32_t&, const std::int32_t&)
{
}
}  // namespace fennimark::zip
