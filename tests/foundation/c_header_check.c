/* Compiled as C to prove the umbrella header is C-clean. */
#include <qel2/qel2.h>

int qel2_c_header_check(void) {
    qEL2_VEVENT* event = qel2_NewEvent();
    int tombstone = event ? qel2_EventTombstone(event->flags) : 0;
    qel2_FreeEvent(&event);
    return tombstone;
}
