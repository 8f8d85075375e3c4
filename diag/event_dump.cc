// Dumps of events and to-dos. The two records share most lines; the lines
// that differ (end or due times, where the flags lie, the link lines) are
// the overloads below, and one template writes the rest.

#include <qel2/diag.h>

#include <prprf.h>

#include "dump_lines.h"

namespace {

using namespace qel2::diag;

// The flag values both dumps show, read from the record's own bits.
struct FlagValues {
    int startIsDate;
    int priority;
    int status;
    int tombstone;
};

FlagValues ReadFlags(const qEL2_VEVENT& event) {
    return {qel2_EventStartIsDate(event.flags), static_cast<int>(qel2_EventPriority(event.flags)),
            static_cast<int>(qel2_EventStatus(event.flags)), qel2_EventTombstone(event.flags)};
}

FlagValues ReadFlags(const qEL2_VTODO& todo) {
    return {qel2_ToDoStartIsDate(todo.flags), static_cast<int>(qel2_ToDoPriority(todo.flags)),
            static_cast<int>(qel2_ToDoStatus(todo.flags)), qel2_ToDoTombstone(todo.flags)};
}

void PrintEndTimes(PRFileDesc* out, const qEL2_VEVENT& event) {
    PrintTimeAndIsDate(out, "           dtEnd = %lu  %s  (isDate = %d)\n", event.dtEnd,
                       qel2_EventEndIsDate(event.flags));
}

void PrintEndTimes(PRFileDesc* out, const qEL2_VTODO& todo) {
    PrintTimeAndIsDate(out, "           dtDue = %lu  %s  (isDate = %d)\n", todo.dtDue,
                       qel2_ToDoDueIsDate(todo.flags));
    PrintTime(out, "     dtCompleted = %lu  %s\n", todo.dtCompleted);
}

void PrintLink(PRFileDesc* out, const qEL2_VEVENT& event) {
    PR_fprintf(out, "   rtflags.bLink = %d\n", qel2_EventIsLink(&event));
}

void PrintLink(PRFileDesc* out, const qEL2_VTODO& todo) {
    const int link = qel2_ToDoIsLink(todo.flags);
    PR_fprintf(out, "     flags.bLink = %d\n", link);
    // A link has no placeholder for a missing target calendar.
    if (link) {
        PrintText(out, "            Link = %s\n", todo.pURL, kNull);
    } else {
        PR_fprintf(out, "            Link = %s\n", "<not a link>");
    }
}

template <typename Record>
int PrintEventLike(const Record* record, PRFileDesc* out) {
    // Without an output there is nowhere to write: refused like a null record.
    if (record == nullptr || out == nullptr) return qEL2_ERR_MISSING;
    const Record& r = *record;
    const FlagValues flags = ReadFlags(r);

    PrintText(out, "        pSummary = %s\n", r.pSummary);
    PrintTimeAndIsDate(out, "         dtStart = %lu  %s  (isDate = %d)\n", r.dtStart,
                       flags.startIsDate);
    PrintEndTimes(out, r);
    PrintText(out, "            pUID = %s\n", r.pUID);
    PrintTime(out, "    RecurrenceID = %lu  %s\n", r.RecurrenceID);
    PrintTime(out, "         Created = %lu  %s\n", r.dtCreated);
    PrintTime(out, "        Modified = %lu  %s\n", r.dtModified);
    PrintList(out, "Recurrence Rules = %lu\n", r.pRRules);
    PrintList(out, "   Exclude Rules = %lu\n", r.pExRules);
    PrintList(out, "          RDates = %lu\n", r.pRDates);
    PrintList(out, "         EXDates = %lu\n", r.pEXDates);
    PrintText(out, "        Location = %s\n", r.pLocation);
    PR_fprintf(out, "       iSequence = %lu\n", PRUint32{r.iSequence});
    PR_fprintf(out, "        Priority = %d\n", flags.priority);
    PR_fprintf(out, "          Status = %d\n", flags.status);
    PR_fprintf(out, "       Tombstone = %d\n", flags.tombstone);
    PR_fprintf(out, "             Geo = (%f,%f)\n", r.lGeoLat / 1000000.0, r.lGeoLon / 1000000.0);
    PrintText(out, "             URL = %s\n", r.pURL);
    PrintText(out, "     Description = %s\n", r.pDescription);
    PrintText(out, "           Class = %s\n", r.pClass);
    PrintText(out, "  OrganizerEmail = %s\n", r.pOrganizerEmail);
    PrintText(out, "         Charset = %s\n", r.pCharset);
    PrintText(out, "        Language = %s\n", r.pLanguage);
    PrintOrganizer(out, r.pOrganizer);
    PrintLink(out, r);
    PrintIndexedList(out, "      related to = %lu\n", "                 related to[%lu] = %s\n",
                     r.pRelatedTo);
    PrintIndexedList(out, "      categories = %lu\n", "                   category[%lu] = %s\n",
                     r.pCategories);
    PrintAttendees(out, r.pAttendees);
    PrintIndexedList(out, "     attachments = %lu\n", "                 attachment[%lu] = %s\n",
                     r.pAttachments);
    PrintIndexedList(out, "          xprops = %lu\n", "                   xprop[%lu] = %s\n",
                     r.pXProps);
    PrintAlarms(out, r.pAlarms);
    return 0;
}

}  // namespace

extern "C" {

int qel2dbut_PrintEvent(const qEL2_VEVENT* event, PRFileDesc* out) {
    return PrintEventLike(event, out);
}

int qel2dbut_PrintToDo(const qEL2_VTODO* todo, PRFileDesc* out) {
    return PrintEventLike(todo, out);
}

}  // extern "C"
