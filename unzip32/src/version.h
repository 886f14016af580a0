#pragma once
// The library's answer to UzpVersion2.

#include "unzip32.h"

namespace unzip32 {

void fill_version(UzpVer2& version);

}  // namespace unzip32
