// Stored values as the command shows them: times in ISO 8601 UTC, and
// status codes by their iCalendar names.
//
// The store keeps a status as a 6-bit code without names. The codes its
// records use read naturally in iCalendar's order: events 1 TENTATIVE,
// 2 CONFIRMED, 3 CANCELLED (the cancelled sample event carries 3); to-dos
// 1 NEEDS-ACTION, 2 COMPLETED (the completed sample to-do carries 2),
// 3 IN-PROCESS, 4 CANCELLED. 0 is "no status"; other codes have no name and
// are shown and exported as their number.
#pragma once

#include <cstdint>
#include <string>

namespace qel2::cli {

// "2006-01-16T14:00:00Z"; "-" for 0, the store's "not set".
std::string IsoTime(uint32_t time);
// "2006-01-16" for a date-only value, else the full time.
std::string IsoTimeOrDate(uint32_t time, bool isDate);

// The name, or null when the code has none (0 included).
const char* EventStatusName(uint32_t code);
const char* ToDoStatusName(uint32_t code);

// The name, "-" for 0, or "STATUS-<n>" for a code without a name.
std::string StatusText(const char* name, uint32_t code);

}  // namespace qel2::cli
