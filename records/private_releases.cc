// The private releases: each drops only what the library keeps beside a
// record's fields; the destructors call them before releasing the rest.

#include <cstdlib>

#include <qel2/records.h>

namespace {

template <typename Record>
int FreePrivateBlock(Record** record) {
    if (record == nullptr || *record == nullptr) return 0;
    free((*record)->pPrivate);
    (*record)->pPrivate = nullptr;
    return 0;
}

}  // namespace

extern "C" {

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
