#include "app/form1.h"

namespace fennimark {

truth Form1::crea_collegamento(std::int32_t, std::wstring, std::wstring, std::wstring)
{
    return False;
}

}  // namespace fennimark
