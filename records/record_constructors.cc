// Constructors of the decoded records: zero-filled, with their presets.

#include <cstdlib>

#include <qel2/records.h>

#include "foundation/out_of_memory.h"

namespace {

// One zero-filled record, or null with the constructor's own log line.
template <typename Record>
Record* NewRecord(const char* constructorName) {
    auto* record = static_cast<Record*>(calloc(1, sizeof(Record)));
    if (record == nullptr)
        qel2::LogOutOfMemory("%s: err = %d, %s\n", constructorName, qEL2_ERR_NOMEM);
    return record;
}

constexpr uint32_t kNewToDoStatus = 3;

}  // namespace

extern "C" {

qEL2_VEVENT* qel2_NewEvent(void) {
    // Status and lSpare are preset to 0, which calloc already gives.
    return NewRecord<qEL2_VEVENT>("qel2_NewEvent");
}

qEL2_VTODO* qel2_NewToDo(void) {
    auto* todo = NewRecord<qEL2_VTODO>("qel2_NewToDo");
    if (todo != nullptr) {
        todo->lExtra2 = -1;
        todo->lSpare = 1;
        todo->flags = kNewToDoStatus << qEL2_TODO_STATUS_SHIFT;
    }
    return todo;
}

qEL2_VALARM* qel2_NewAlarm(void) { return NewRecord<qEL2_VALARM>("qel2_NewAlarm"); }

qEL2_ORGANIZER* qel2_NewOrganizer(void) { return NewRecord<qEL2_ORGANIZER>("qel2_NewOrganizer"); }

qEL2_ATTENDEE* qel2_NewAttendee(void) { return NewRecord<qEL2_ATTENDEE>("qel2_NewAttendee"); }

}  // extern "C"
