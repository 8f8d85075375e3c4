// todos STORE CALID: one calendar's to-dos.

#include "commands.h"
#include "item_listing.h"

namespace qel2::cli {

const Command kToDosCommand = {
    "todos",
    "todos STORE CALID [--from TIME] [--to TIME] [--tombstones] [--long | --json]",
    "list the to-dos of one calendar, one line each",
    "Each line: start, due, completed, uid, status, summary; times in UTC; in order\n"
    "of start, then uid, then recurrence id (to-dos without a start last).\n"
    "TIME is a date, a UTC time or seconds since 1970. A window keeps the to-dos\n"
    "completed within it and every open one. Deleted to-dos are left out unless\n"
    "--tombstones. --long prints every field, --json a JSON array.\n",
    {"--from", "--to"},
    {"--tombstones", "--long", "--json"},
    2,
    2,
    [](const Arguments& arguments) { return ListItems(arguments, ItemKind::ToDo); },
};

}  // namespace qel2::cli
