// New records in the library's owning handles (<qel2/owned.h>), and the
// small setters that fill their owned fields.
#pragma once

#include <string_view>
#include <vector>

#include <qel2/owned.h>
#include <qel2/records.h>

namespace qel2::mkstore {

// New records from the library's constructors (qel2::NewCalProps for
// calendar properties). Each throws std::bad_alloc when memory runs out.
qel2::EventPtr NewEvent();
qel2::ToDoPtr NewToDo();
qel2::CalPropsPtr NewCalProps();
qel2::AlarmPtr NewAlarm();
qel2::AttendeePtr NewAttendee();
qel2::OrganizerPtr NewOrganizer();

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

}  // namespace qel2::mkstore
