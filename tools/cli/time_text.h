// Times as a person reads and types them: ISO 8601 in UTC.
#pragma once

#include <cstdint>
#include <string>

namespace qel2::cli {

// "2006-01-16T14:00:00Z"; "-" for 0, the store's "not set".
std::string IsoTime(uint32_t time);
// "2006-01-16" for a date-only value, else the full time.
std::string IsoTimeOrDate(uint32_t time, bool isDate);

// Reads "2006-01-16", "2006-01-16T14:00:00Z" (the Z may be left out, the
// time is UTC either way) or a number of seconds since 1970. Throws
// UsageError naming `option` for anything else or a time the store cannot
// hold (before 1970, after 2038-01-19T03:14:07Z: the window is signed 32-bit).
int32_t ParseTime(const std::string& option, const std::string& text);

}  // namespace qel2::cli
