// events STORE CALID: one calendar's events.

#include "commands.h"
#include "item_listing.h"

namespace qel2::cli {

const Command kEventsCommand = {
    "events",
    "events STORE CALID [--from TIME] [--to TIME] [--tombstones] [--long | --json]",
    "list the events of one calendar, one line each",
    "Each line: start, end, uid (@recurrence id for an instance), status, summary;\n"
    "in order of start, then uid, then recurrence id (events without a start last);\n"
    "times in UTC, dates alone for all-day events. An event another calendar keeps\n"
    "and this one links to is listed here, marked [linked from CAL].\n"
    "TIME is a date (2006-01-16), a UTC time (2006-01-16T14:00:00Z) or seconds since\n"
    "1970; --from and --to keep the events that overlap that window (events without\n"
    "an end fall outside any window). Deleted events are left out unless\n"
    "--tombstones. --long prints every field, --json a JSON array.\n",
    {"--from", "--to"},
    {"--tombstones", "--long", "--json"},
    2,
    2,
    [](const Arguments& arguments) { return ListItems(arguments, ItemKind::Event); },
};

}  // namespace qel2::cli
