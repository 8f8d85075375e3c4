// One event or to-do as a VEVENT or VTODO component.
//
// Every stored value reaches the component: what iCalendar has a property
// or parameter for goes there, the rest is kept as an X-QEL2-* property,
// and so is a value outside its property's range (SEQUENCE past 2^31-1,
// PRIORITY past 9, GEO off the globe, a CLASS that is not a name), and
// EXRULE, which iCalendar no longer has. Dates
// are repaired by these rules, each noted for the report:
//   - no start (events): the stored end, else the creation time, else the
//     modification time becomes the start; with none of them the event is
//     left out;
//   - an end (or due time) whose kind differs from the start's takes the
//     start's kind (a DATE end that is not after the start becomes the
//     next day);
//   - an end before the start (or a DATE end on the start's day) is left
//     out and kept as X-QEL2-DTEND / X-QEL2-DUE;
//   - rules and dates take the start's kind (recurrence_values.h); a
//     to-do without start keeps its rules as X-QEL2-*.
// DTSTAMP is the modification time, else the creation time, else the
// start.
#pragma once

#include <string>

#include <qel2/records.h>

#include "migration_report.h"

namespace qel2::cli::exporter {

// How the record's UID group (uid_group.h) wants the record written.
struct ItemPlan {
    std::string uid;                  // the UID written (UTF-8)
    bool uidChanged = false;          // X-QEL2-ORIGINAL-UID keeps the stored one
    bool writeRecurrenceId = false;   // an instance of a master in the same resource
    bool recurrenceIdIsDate = false;  // the master's start kind
    bool rulesAsX = false;            // an instance: its own rules and dates become X-QEL2-*
};

// Appends the component to `out`; false (and nothing appended) when the
// record is left out, which `notes` then says.
bool AppendEvent(std::string& out, const qEL2_VEVENT& event, const ItemPlan& plan,
                 RecordNotes& notes);
bool AppendToDo(std::string& out, const qEL2_VTODO& todo, const ItemPlan& plan, RecordNotes& notes);

}  // namespace qel2::cli::exporter
