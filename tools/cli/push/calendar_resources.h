// A calendar's content as CalDAV resources: one VCALENDAR per UID holding
// the UID's master and its overrides (RFC 4791 wants every component of a
// resource to share one UID).
#pragma once

#include <string>
#include <vector>

#include <qel2/records.h>

#include "store_session.h"

namespace qel2push {

struct CalendarResource {
    std::string uid;
    std::string text;    // the whole VCALENDAR
    size_t records = 0;  // events and to-dos inside
};

// In the order of the UIDs' first records.
std::vector<CalendarResource> CalendarResources(qel2cli::StoreSession& store, qEL2_CALPROPS* calendar);

}  // namespace qel2push
