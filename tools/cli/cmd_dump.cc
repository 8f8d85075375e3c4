// dump STORE: every calendar, then its events and to-dos, in the dump format.

#include <cstdio>

#include <qel2/query.h>

#include "commands.h"
#include "item_order.h"
#include "progress.h"
#include "standard_output.h"
#include "store_reads.h"
#include "utf8_text.h"

namespace qel2::cli {

namespace {

using qel2::tools::TerminalText;

// Deleted records are dumped too: the dump shows the store as it is, and
// each record's Tombstone line tells them apart.
int Dump(const Arguments& arguments) {
    StoreSession store(arguments.store);
    qel2::CalPropsListPtr calendars = ReadAllCalendars(store);
    std::vector<qEL2_CALPROPS*> sorted = SortedById(calendars.get());
    Progress progress("dump", sorted.size());
    size_t done = 0;
    for (qEL2_CALPROPS* calendar : sorted) {
        std::string id = calendar->pRelativeCalID ? calendar->pRelativeCalID : "";
        progress.Show(done++, TerminalText(id));
        std::printf("==== calendar %s", TerminalText(id).c_str());
        DumpCalendar(*calendar);

        ForEachEventInTimeOrder(store, calendar, {}, qEL2_READ_TOMBSTONES, [](qEL2_VEVENT& event) {
            std::printf("\n---- event\n");
            DumpRecord(event);
            CheckOutput();
        });
        ForEachToDoInTimeOrder(store, calendar, {}, qEL2_READ_TOMBSTONES, [](qEL2_VTODO& todo) {
            std::printf("\n---- to-do\n");
            DumpRecord(todo);
            CheckOutput();
        });
        std::printf("\n");
        CheckOutput();
    }
    return 0;
}

}  // namespace

const Command kDumpCommand = {
    "dump",
    "dump STORE",
    "print every calendar, then its events and to-dos, with every field",
    "Calendars come by id, each followed by its events and to-dos in time order\n"
    "(deleted ones included, linked ones as read through the link).\n",
    {},
    {},
    1,
    1,
    Dump,
};

}  // namespace qel2::cli
