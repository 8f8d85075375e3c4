// The stored alarms of an event or to-do as VALARM components.
//
// Alarm words: 1 the trigger time, 2 the lead time in seconds before the
// start, 5 the seconds between repeats; the first list holds the mail
// recipients. Actions 0 EMAIL, 1 DISPLAY, 2 AUDIO; 3 is PROCEDURE, which
// iCalendar no longer has, and other codes have no name: both become an
// X- action (ACTION:X-QEL2-PROCEDURE, X-QEL2-ACTION-<n>) that clients skip.
//
// Where a lead time is stored and the component has a start, the trigger
// is relative to the start, so the alarm fires for every instance of a
// recurring event; otherwise it is the stored time.
#pragma once

#include <string>

#include <qel2/host.h>

#include "property_writer.h"
#include "recurrence_values.h"

namespace qel2::cli::exporter {

// `summary` is the component's SUMMARY, the text an alarm without texts
// of its own shows.
void WriteAlarms(PropertyWriter& writer, const array_t* alarms, Start start,
                 const std::string& summary);

}  // namespace qel2::cli::exporter
