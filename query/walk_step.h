// How a walk over one calendar's events or to-dos moves from one record to
// the next. Both ways visit the same records in the same order; the walks
// use kWalkStep, and tests compare the two.
#pragma once

#include <cstdint>

#include <qel2/query.h>

namespace qel2query {

enum class WalkStep {
    // Search again (DB_SET_RANGE) for the smallest key after the one just
    // read, built by adding one to its recurrence id.
    KeySearch,
    // Step the cursor (DB_NEXT) from the first key of the calendar.
    CursorNext,
};

// The faster of the two on stores of 1,000 to 100,000 events per calendar
// (docs/performance.md, "Queries").
inline constexpr WalkStep kWalkStep = WalkStep::CursorNext;

// Turns an event or to-do key into the smallest key that sorts after it:
// the recurrence id plus one or, past recurrence id 4294967295, the next
// unique-id hash (bytes 16-31 as one 128-bit number) with recurrence id 0.
// False when no such key exists in the calendar.
bool AdvanceKey(unsigned char* key);

// The event and to-do walks with a chosen step.
int ScanEventsStepping(WalkStep step, qEL2_CALPROPS* calendar, array_t** list, uint32_t flags,
                       const void* argument, qEL2_RECORD_FILTER filter);
int ScanToDosStepping(WalkStep step, qEL2_CALPROPS* calendar, array_t** list, uint32_t flags,
                      const void* argument, qEL2_RECORD_FILTER filter);

}  // namespace qel2query
