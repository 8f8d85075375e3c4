// One calendar as iCalendar resources, one per UID: the VEVENT or VTODO
// with its instances (RECURRENCE-ID overrides), in a VCALENDAR of its own.
// This is what `export --layout vdir` writes as files and what a CalDAV
// upload PUTs; `--layout file` writes the same components into one file.
//
// The calendar is read record by record, and each UID's records are
// handed on as soon as the next UID starts, so memory holds one UID's
// records whatever the calendar's size.
//
// UID and recurrence repairs, each noted in the report:
//   - an instance whose master (recurrence id 0) is missing, deleted or
//     left out is written as an event of its own: UID "<uid>-<recurrence
//     id as 20060123T140000Z>", X-QEL2-ORIGINAL-UID and
//     X-QEL2-RECURRENCE-ID keep what was stored;
//   - an instance's own recurrence rules and dates become X-QEL2-*;
//   - a to-do whose UID an event of the calendar has takes "<uid>-todo";
//   - a record without UID gets "qel2-no-uid".
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include <qel2/records.h>

#include "migration_report.h"

namespace qel2::cli::exporter {

struct CalendarResource {
    std::string uid;       // the UID its components carry
    std::string fileName;  // a file name that fits any file system: <uid, made safe>.ics
    std::string text;      // a complete VCALENDAR
    // The VEVENT and VTODO blocks inside `text`.
    std::string_view components() const {
        return std::string_view(text).substr(componentsBegin, componentsEnd - componentsBegin);
    }
    size_t componentsBegin = 0;
    size_t componentsEnd = 0;
};

using ResourceSink = std::function<void(const CalendarResource&)>;

// Reads the calendar's events, then its to-dos (deleted ones too when
// `readFlags` holds qEL2_READ_TOMBSTONES), and hands `sink` one resource
// per UID. Counts and notes go into `report`. Throws CliError when the
// calendar cannot be read; an exception from `sink` ends the walk and is
// passed on.
void StreamCalendarResources(qEL2_CALPROPS& calendar, uint32_t readFlags, CalendarReport& report,
                             const ResourceSink& sink);

// The calendar's own lines, from BEGIN:VCALENDAR to its X-WR-CALNAME,
// X-WR-CALDESC and X-QEL2-CALID, and the closing line.
std::string CalendarHeader(const qEL2_CALPROPS& calendar);
inline constexpr std::string_view kCalendarEnd = "END:VCALENDAR\r\n";

}  // namespace qel2::cli::exporter
