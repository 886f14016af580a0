#pragma once

#include <string>

namespace fennimark::runtime {

// Today's date without a time, in the user's short date format.
std::wstring short_date_today();

}  // namespace fennimark::runtime
