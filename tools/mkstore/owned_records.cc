// Owning handles and field setters for records built by the store writer.

#include "owned_records.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace qel2mk {

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

EventPtr NewEvent() { return Checked<EventPtr>(qel2_NewEvent()); }
ToDoPtr NewToDo() { return Checked<ToDoPtr>(qel2_NewToDo()); }
CalPropsPtr NewCalProps() {
    return Checked<CalPropsPtr>(static_cast<qEL2_CALPROPS*>(calloc(1, sizeof(qEL2_CALPROPS))));
}
AlarmPtr NewAlarm() { return Checked<AlarmPtr>(qel2_NewAlarm()); }
AttendeePtr NewAttendee() { return Checked<AttendeePtr>(qel2_NewAttendee()); }
OrganizerPtr NewOrganizer() { return Checked<OrganizerPtr>(qel2_NewOrganizer()); }

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

}  // namespace qel2mk
