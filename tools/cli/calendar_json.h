// A calendar's properties as JSON: `calendars --json`, the export's
// calendars.json and push's report. Text is converted to UTF-8 from the
// calendar's charset; fields where bytes had to be replaced are named in
// "text_replaced".
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <qel2/records.h>

namespace qel2::cli {

// The primary owner first, then the others.
std::vector<std::string> Owners(const qEL2_CALPROPS& calendar);

// id, name, parent, description, owners, children, categories, read and
// write access (the store's level names), disabled, created, modified.
nlohmann::json CalendarJson(const qEL2_CALPROPS& calendar);

}  // namespace qel2::cli
