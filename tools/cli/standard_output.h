// Standard output, checked: a full disk or a closed pipe ends the command
// instead of passing unnoticed, and the library's record dumps reach it
// through stdio, in order with everything else.
#pragma once

#include <prio.h>

namespace qel2::cli {

// Exit status when the reader of standard output went away (| head): what
// a shell reports for a program a closed pipe stops (128 + SIGPIPE).
inline constexpr int kExitClosedPipe = 141;

// Standard output as an NSPR descriptor for the library's dumps, written
// through stdio as it is: the dumps' stored text is escaped before they
// are printed (display_text.h).
PRFileDesc* DumpOutput();

// Throws CliError when a write to standard output has failed: "cannot
// write to standard output: <reason>", status 1; a closed pipe gives status
// kExitClosedPipe and no message. Cheap: called after each record.
void CheckOutput();

// Flushes standard output and checks it one last time.
void FinishOutput();

}  // namespace qel2::cli
