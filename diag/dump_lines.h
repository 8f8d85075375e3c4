// Line writers shared by the record dumps. Every format is a literal of
// the caller; field values only ever go in as arguments.
//
// NSPR's PR_fprintf reads "%lu" and "%ld" as 32-bit values (prprf.h), so
// times, counts and indexes are passed as PRUint32 / PRInt32: a 64-bit
// unsigned long would not match what the formatter takes off the list.
#pragma once

#include <prio.h>

#include <qel2/records.h>

namespace qel2::diag {

inline constexpr const char* kNotSpecified = "<not specified>";
// What NSPR's "%s" prints for a null string. Every dump writes it where its
// line gives no placeholder of its own, so a null shows alike everywhere.
inline constexpr const char* kNull = "(null)";

// A null list counts as empty.
uint32_t Count(const array_t* list);
// The element's text; the empty string for a null element.
const char* ElementText(const array_t* list, uint32_t index);
const char* OrNull(const char* text);

// `format` takes one "%s": the value, or `placeholder` when it is null.
void PrintText(PRFileDesc* out, const char* format, const char* value,
               const char* placeholder = kNotSpecified);
// `format` takes "%lu  %s": the time's number and its text, e.g.
// "(20060116T084500Z) [16-Jan-06 08:45AM GMT]"; a time of 0 has no text.
void PrintTime(PRFileDesc* out, const char* format, uint32_t time);
// The same, with a third value "%d": whether the time is a date only.
void PrintTimeAndIsDate(PRFileDesc* out, const char* format, uint32_t time, int isDate);
// The count with `countFormat` ("%lu"), then each element on its own line.
void PrintList(PRFileDesc* out, const char* countFormat, const array_t* list);
// The count, then each element with `itemFormat` ("%lu" index, "%s" text).
void PrintIndexedList(PRFileDesc* out, const char* countFormat, const char* itemFormat,
                      const array_t* list);
// "present" and the organizer's five lines, or "not present".
void PrintOrganizer(PRFileDesc* out, const qEL2_ORGANIZER* organizer);
// The count, then each attendee as one line of qel2dbut_FmtAttendee text.
void PrintAttendees(PRFileDesc* out, const array_t* attendees);
// The count, then one block per alarm.
void PrintAlarms(PRFileDesc* out, const array_t* alarms);

}  // namespace qel2::diag
