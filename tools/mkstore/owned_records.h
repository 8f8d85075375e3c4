// Owning handles for the decoded records, released through the library's
// own destructors, and the small setters that fill their owned fields.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include <qel2/records.h>

namespace qel2mk {

template <typename Record, int (*Free)(Record**)>
struct RecordDeleter {
    void operator()(Record* record) const { Free(&record); }
};

using EventPtr = std::unique_ptr<qEL2_VEVENT, RecordDeleter<qEL2_VEVENT, qel2_FreeEvent>>;
using ToDoPtr = std::unique_ptr<qEL2_VTODO, RecordDeleter<qEL2_VTODO, qel2_FreeToDo>>;
using CalPropsPtr = std::unique_ptr<qEL2_CALPROPS, RecordDeleter<qEL2_CALPROPS, qel2_FreeCalProps>>;
using AlarmPtr = std::unique_ptr<qEL2_VALARM, RecordDeleter<qEL2_VALARM, qel2_FreeAlarm>>;
using AttendeePtr = std::unique_ptr<qEL2_ATTENDEE, RecordDeleter<qEL2_ATTENDEE, qel2_FreeAttendee>>;
using OrganizerPtr = std::unique_ptr<qEL2_ORGANIZER, RecordDeleter<qEL2_ORGANIZER, qel2_FreeOrganizer>>;

// New records from the library's constructors; calendar properties have
// none, so theirs is a zero-filled block of the full size, as the readers
// allocate it. Each throws std::bad_alloc when memory runs out.
EventPtr NewEvent();
ToDoPtr NewToDo();
CalPropsPtr NewCalProps();
AlarmPtr NewAlarm();
AttendeePtr NewAttendee();
OrganizerPtr NewOrganizer();

// Replaces an owned string field with a copy of `text`.
void SetString(char*& field, std::string_view text);
// Appends copies of `texts` to an owned string list, creating it if needed.
void AppendStrings(array_t*& list, const std::vector<std::string_view>& texts);
// Appends a pointer to a record list, creating the list if needed.
void AppendPointer(array_t*& list, void* record);
// Appends a record to an owned record list, which takes it over only once
// the append has succeeded.
template <typename Ptr>
void AppendRecord(array_t*& list, Ptr record) {
    AppendPointer(list, record.get());
    record.release();
}

}  // namespace qel2mk
