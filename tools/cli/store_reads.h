// The reads the commands share: every calendar, the time window and read
// flags of the listings. Each throws CliError on failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "command_line.h"
#include "list_view.h"
#include "store_session.h"

namespace qel2::cli {

// Every calendar, read with its hash so its events can be found.
qel2::CalPropsListPtr ReadAllCalendars(StoreSession& store);
// The list's calendars ordered by id, which is how people look for them
// (the store keeps them in the order of their ids' digests).
std::vector<qEL2_CALPROPS*> SortedById(const array_t* calendars);

// A time window in seconds since 1970; 0 and 0 is no window.
struct TimeWindow {
    int32_t start = 0;
    int32_t end = 0;
};
// --from and --to. The library reads a 0 at either end as "no window", so a
// window open at one end is closed at the first or last second instead.
TimeWindow WindowFromOptions(const Arguments& arguments);
// qEL2_READ_TOMBSTONES when --tombstones was given.
uint32_t ReadFlagsFromOptions(const Arguments& arguments);

// The path of one of the store's files, for messages.
std::string DatabasePath(const StoreSession& store, const char* file);

}  // namespace qel2::cli
