// List destructors and the private releases of the decoded records.

#include <cstdlib>

#include <qel2/records.h>

namespace {

// Releases every non-null element with the record destructor, then the
// list. The list's slots are not cleared during the walk.
template <typename Record>
int FreeList(array_t** list, int nullAddressCode, int nullListCode,
             int (*releasePrivate)(array_t**), int (*destroy)(Record**)) {
    if (list == nullptr) return nullAddressCode;
    if (*list == nullptr) return nullListCode;
    releasePrivate(list);
    for (uint32_t i = 0; i < (*list)->count; ++i) {
        auto* element = static_cast<Record*>(array_elementat(*list, i));
        if (element != nullptr) destroy(&element);
    }
    array_removeall(*list);
    free(*list);
    *list = nullptr;
    return 0;
}

template <typename Record>
int FreePrivateBlock(Record** record) {
    if (record == nullptr || *record == nullptr) return 0;
    free((*record)->pPrivate);
    (*record)->pPrivate = nullptr;
    return 0;
}

}  // namespace

extern "C" {

int qel2_FreeCalPropsList(array_t** list) {
    return FreeList(list, 2, 3, qel2_pvt_FreeCalPropsList, qel2_FreeCalProps);
}

int qel2_FreeEventList(array_t** list) {
    return FreeList(list, 1, 2, qel2_pvt_FreeEventList, qel2_FreeEvent);
}

int qel2_FreeToDoList(array_t** list) {
    return FreeList(list, 1, 2, qel2_pvt_FreeToDoList, qel2_FreeToDo);
}

int qel2_pvt_FreeEvent(qEL2_VEVENT** event) { return FreePrivateBlock(event); }

int qel2_pvt_FreeToDo(qEL2_VTODO** todo) { return FreePrivateBlock(todo); }

// The library keeps no private data in these records or lists.
int qel2_pvt_FreeOrganizer(qEL2_ORGANIZER**) { return 0; }
int qel2_pvt_FreeAttendee(qEL2_ATTENDEE**) { return 0; }
int qel2_pvt_FreeCalProps(qEL2_CALPROPS**) { return 0; }
int qel2_pvt_FreeCalPropsList(array_t**) { return 0; }
int qel2_pvt_FreeEventList(array_t**) { return 0; }
int qel2_pvt_FreeToDoList(array_t**) { return 0; }

}  // extern "C"
