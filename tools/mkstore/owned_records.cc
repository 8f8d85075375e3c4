// Owning handles and field setters for records built by the store writer.

#include "owned_records.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace qel2::mkstore {

namespace {

template <typename Ptr, typename Raw>
Ptr Checked(Raw* raw) {
    if (raw == nullptr) throw std::bad_alloc();
    return Ptr(raw);
}

void CreateList(array_t*& list) {
    if (list == nullptr && (list = array_new()) == nullptr) throw std::bad_alloc();
}

}  // namespace

qel2::EventPtr NewEvent() { return Checked<qel2::EventPtr>(qel2_NewEvent()); }
qel2::ToDoPtr NewToDo() { return Checked<qel2::ToDoPtr>(qel2_NewToDo()); }
qel2::CalPropsPtr NewCalProps() {
    return Checked<qel2::CalPropsPtr>(qel2::NewCalProps().release());
}
qel2::AlarmPtr NewAlarm() { return Checked<qel2::AlarmPtr>(qel2_NewAlarm()); }
qel2::AttendeePtr NewAttendee() { return Checked<qel2::AttendeePtr>(qel2_NewAttendee()); }
qel2::OrganizerPtr NewOrganizer() { return Checked<qel2::OrganizerPtr>(qel2_NewOrganizer()); }

void SetString(char*& field, std::string_view text) {
    char* copy = static_cast<char*>(malloc(text.size() + 1));
    if (copy == nullptr) throw std::bad_alloc();
    memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    free(field);
    field = copy;
}

void AppendStrings(array_t*& list, const std::vector<std::string_view>& texts) {
    CreateList(list);
    std::string copy;
    for (std::string_view text : texts) {
        copy.assign(text);
        if (strarray_append(list, copy.c_str()) != 0) throw std::bad_alloc();
    }
}

void AppendPointer(array_t*& list, void* record) {
    CreateList(list);
    if (array_append(list, record) != 0) throw std::bad_alloc();
}

}  // namespace qel2::mkstore
