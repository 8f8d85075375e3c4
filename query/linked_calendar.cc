// The calendar a link leads into, read once per run of links into it.

#include "query/linked_calendar.h"

#include <cstring>

#include <qel2/query.h>

namespace qel2query {

qEL2_CALPROPS* LinkedCalendar::read(const char* id) {
    if (calendar_ && id_ && strcmp(id_.get(), id) == 0) return calendar_.get();
    calendar_.reset();
    id_.reset();
    qEL2_CALPROPS* read = nullptr;
    if (qel2_pvt_ReadCalProps(const_cast<char*>(id), &read) != 0) return nullptr;
    calendar_.reset(read);
    // Without a copy of the id the calendar is still used, just not kept
    // for the next link.
    id_.reset(strdup(id));
    return calendar_.get();
}

}  // namespace qel2query
