// The multi-line dumps of records (show, dump and the --long listings).
// The dump puts each field on a line of its own, so the record's stored
// text is escaped first (line breaks as \n, escape sequences as \x1b, ...):
// stored text can neither forge a field line nor reach the terminal as
// control characters.
#pragma once

#include <qel2/records.h>

namespace qel2::cli {

// Escapes the record's stored text in place, then dumps it. The record is
// the caller's, read for display only.
void DumpRecord(qEL2_VEVENT& event);
void DumpRecord(qEL2_VTODO& todo);

// A calendar's stored id is still needed to read its items, so its dump is
// made from an escaped copy.
void DumpCalendar(const qEL2_CALPROPS& calendar);

}  // namespace qel2::cli
