// Standard output, checked, and the record dumps written to it (show,
// dump and the --long listings).
//
// A full disk or a closed pipe ends the command instead of passing
// unnoticed. The library's record dumps reach standard output through
// stdio, in order with everything else. A dump puts each field on a line
// of its own, so the record's stored text is escaped first (line breaks as
// \n, escape sequences as \x1b, ...): stored text can neither forge a field
// line nor reach the terminal as control characters.
#pragma once

#include <qel2/records.h>

namespace qel2::cli {

// Exit status when the reader of standard output went away (| head): what
// a shell reports for a program a closed pipe stops (128 + SIGPIPE).
inline constexpr int kExitClosedPipe = 141;

// Throws CliError when a write to standard output has failed: "cannot
// write to standard output: <reason>", status 1; a closed pipe gives status
// kExitClosedPipe and no message. Cheap: called after each record.
void CheckOutput();

// Flushes standard output and checks it one last time.
void FinishOutput();

// Escapes the record's stored text in place, then dumps it. The record is
// the caller's, read for display only.
void DumpRecord(qEL2_VEVENT& event);
void DumpRecord(qEL2_VTODO& todo);

// A calendar's stored id is still needed to read its items, so its dump is
// made from an escaped copy.
void DumpCalendar(const qEL2_CALPROPS& calendar);

}  // namespace qel2::cli
