// show STORE CALID UID [RID]: one event or to-do in the dump format.

#include <cstdio>

#include <qel2/log.h>
#include <qel2/query.h>
#include <qel2/store_internal.h>

#include "cli_error.h"
#include "commands.h"
#include "standard_output.h"
#include "store_session.h"
#include "value_text.h"

namespace qel2::cli {

namespace {

// The record is looked up as an event first, then as a to-do; deleted
// records are shown too, since show is how one looks at a single record.
int Show(const Arguments& arguments) {
    const std::string& calendarId = arguments.operands.at(0);
    std::string uid = arguments.operands.at(1);
    int32_t recurrenceId =
        arguments.operands.size() > 2 ? ParseTime("RID", arguments.operands[2]) : 0;

    StoreSession store(arguments.store);
    qel2::CalPropsPtr calendar = store.ReadCalendar(calendarId);
    std::string what = "\"" + uid + "\"" +
                       (recurrenceId ? " (recurrence id " + IsoTime(recurrenceId) + ")" : "") +
                       " in calendar \"" + calendarId + "\"";

    store.Reading(qel2_asDBFiles[qEL2_FILE_EVENTS]);
    qEL2_VEVENT* event = nullptr;
    int result = store.db().ReadEvent(calendar.get(), uid.data(), recurrenceId,
                                      qEL2_READ_TOMBSTONES, &event);
    qel2::EventPtr ownedEvent(event);
    if (result == 0 && ownedEvent) {
        DumpRecord(*ownedEvent);
        return 0;
    }
    bool unfollowedLink = result == 0;

    store.Reading(qel2_asDBFiles[qEL2_FILE_TODOS]);
    qEL2_VTODO* todo = nullptr;
    result =
        store.db().ReadToDo(calendar.get(), uid.data(), recurrenceId, qEL2_READ_TOMBSTONES, &todo);
    qel2::ToDoPtr ownedToDo(todo);
    if (result == 0 && ownedToDo) {
        DumpRecord(*ownedToDo);
        return 0;
    }
    if (unfollowedLink || result == 0)
        throw CliError(what + " is a link whose target cannot be read");
    if (result == qEL2_ERR_NOT_FOUND) throw CliError("no event or to-do " + what);
    throw CliError("cannot read " + what + ": " + ResultText(result));
}

}  // namespace

const Command kShowCommand = {
    "show",
    "show STORE CALID UID [RID]",
    "print one event or to-do with every field",
    "RID, the recurrence id of one instance, is a UTC time (2006-01-23T14:00:00Z)\n"
    "or seconds since 1970; without it the master record (recurrence id 0) is\n"
    "shown. A link is followed to the record it stands for. Deleted records are\n"
    "shown too (Tombstone = 1).\n",
    {},
    {},
    3,
    4,
    Show,
};

}  // namespace qel2::cli
