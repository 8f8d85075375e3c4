/*
 * Owning handles for the records and record lists the library hands over:
 * std::unique_ptr whose deleter is the library's own destructor, so a C++
 * host (and the library itself) releases a record exactly as a C host
 * would, on every way out of a scope.
 */
#ifndef QEL2_OWNED_H
#define QEL2_OWNED_H

#ifndef __cplusplus
#error "<qel2/owned.h> is C++ only"
#endif

#include <cstdlib>
#include <memory>

#include <qel2/host.h>
#include <qel2/records.h>

namespace qel2 {

// Calls a destructor that takes the address of the pointer it releases.
template <typename Record, int (*Free)(Record**)>
struct FreeWith {
    void operator()(Record* record) const noexcept { Free(&record); }
};

// A record or list released by `Free`.
template <typename Record, int (*Free)(Record**)>
using Owned = std::unique_ptr<Record, FreeWith<Record, Free>>;

using EventPtr = Owned<qEL2_VEVENT, qel2_FreeEvent>;
using ToDoPtr = Owned<qEL2_VTODO, qel2_FreeToDo>;
using CalPropsPtr = Owned<qEL2_CALPROPS, qel2_FreeCalProps>;
using AlarmPtr = Owned<qEL2_VALARM, qel2_FreeAlarm>;
using AttendeePtr = Owned<qEL2_ATTENDEE, qel2_FreeAttendee>;
using OrganizerPtr = Owned<qEL2_ORGANIZER, qel2_FreeOrganizer>;

// Lists of records: the destructor releases every element and the list.
using EventListPtr = Owned<array_t, qel2_FreeEventList>;
using ToDoListPtr = Owned<array_t, qel2_FreeToDoList>;
using CalPropsListPtr = Owned<array_t, qel2_FreeCalPropsList>;

// An empty calendar record: calendars have no constructor of their own, so
// this is a zero-filled block of the full size, as the reads allocate it
// before decoding into it. Null when memory runs out.
inline CalPropsPtr NewCalProps() {
    return CalPropsPtr(static_cast<qEL2_CALPROPS*>(std::calloc(1, sizeof(qEL2_CALPROPS))));
}

}  // namespace qel2

#endif /* QEL2_OWNED_H */
