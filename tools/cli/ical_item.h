// Events and to-dos as iCalendar (RFC 5545) components, built with libical.
//
// Every stored value reaches the component: what iCalendar has a property
// or parameter for goes there, the rest is kept as an X-QEL2-* property
// (X-QEL2-STATUS for a status code without a name, X-QEL2-EXTRA1 for
// pExtra1, ...), so nothing is dropped on the way out.
#pragma once

#include <libical/ical.h>

#include <qel2/records.h>

namespace qel2cli {

// New components the caller frees with icalcomponent_free.
icalcomponent* EventComponent(const qEL2_VEVENT& event);
icalcomponent* ToDoComponent(const qEL2_VTODO& todo);

}  // namespace qel2cli
