// The rights that the principal "@" (every user) gets on a calendar.
#pragma once

#include <cstdint>

namespace qel2::mapping {

// The rights text for "@", or null when "@" gets no entry. Each policy
// governs one right ("s" schedule, "f" free/busy): 0 grants it, 1 grants it
// on the primary owner's own calendar only, 2 withholds it. A policy
// outside 0 to 2 makes no entry at all.
const char* EveryoneRights(int32_t sPolicy, int32_t fPolicy, bool ownerCalendar);

}  // namespace qel2::mapping
