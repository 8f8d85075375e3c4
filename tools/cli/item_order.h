// One calendar's events or to-dos in time order, one record at a time.
//
// The library hands a calendar's records over in key order, all at once. A
// person reads a calendar by time, and a calendar may hold hundreds of
// thousands of records, so the walk keeps only a small key of each record
// (start, uid, recurrence id), sorts those, and reads the records again one
// by one in that order: memory holds one record and the keys, never the
// whole calendar.
#pragma once

#include <cstdint>
#include <functional>

#include <qel2/records.h>

#include "store_reads.h"
#include "store_session.h"

namespace qel2::cli {

// Calls `show` for each event of `calendar` within `window` (the library's
// window test and read flags), ordered by start (records without one last),
// then uid, then recurrence id. Returns how many there were; throws
// CliError when a read fails. Each record is `show`'s to change; it is
// released when `show` returns.
size_t ForEachEventInTimeOrder(StoreSession& store, qEL2_CALPROPS* calendar, TimeWindow window,
                               uint32_t flags, const std::function<void(qEL2_VEVENT&)>& show);
size_t ForEachToDoInTimeOrder(StoreSession& store, qEL2_CALPROPS* calendar, TimeWindow window,
                              uint32_t flags, const std::function<void(qEL2_VTODO&)>& show);

}  // namespace qel2::cli
