// A calendar's properties as JSON: what `calendars --json` prints and what
// push's report tells the administrator (owners, read and write access).
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <qel2/records.h>

namespace qel2cli {

// The primary owner first, then the others.
std::vector<std::string> Owners(const qEL2_CALPROPS& calendar);

nlohmann::json CalendarJson(const qEL2_CALPROPS& calendar);

}  // namespace qel2cli
