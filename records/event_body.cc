// Organizer, attendee and alarm blocks of event and to-do values.

#include "event_body.h"

#include <qel2/codec.h>
#include <qel2/log.h>
#include <qel2/owned.h>

namespace qel2 {

namespace {

// Smallest stored blocks: they bound a count before anything is allocated.
constexpr size_t kMinAttendeeBlock = 24;  // 8 NULs, the RSVP byte, 3 empty lists
constexpr size_t kMinAlarmBlock = 38;     // 5 words, 3 NULs, 3 empty lists

// A record not yet in its list is held, so every early return releases it.
// Hands a held record over to its list; out of memory when it cannot grow.
template <typename Held>
int AppendHeld(array_t* list, Held& held) {
    if (array_append(list, held.get()) != 0) return qEL2_ERR_NOMEM;
    held.release();
    return 0;
}

int DecodeAttendee(ValueReader& reader, qEL2_ATTENDEE* a) {
    if (int result = reader.strings(a->pCalAddress, a->pCUType, a->pRole, a->pPartStat, a->pCN,
                                    a->pDir, a->pSentBy, a->pExtraParam)) {
        return result;
    }
    if (int result = reader.signedByte(a->bRSVP)) return result;
    return reader.stringLists(a->pMember, a->pDelegatedTo, a->pDelegatedFrom);
}

}  // namespace

int DecodeOrganizer(ValueReader& reader, qEL2_ORGANIZER*& organizer) {
    unsigned char first = 0;
    if (int result = reader.peekByte(first)) return result;
    // A lone 0 byte stands for no organizer; otherwise it is the first byte
    // of the organizer's (never empty) address.
    if (first == 0) return reader.skip(1);
    organizer = qel2_NewOrganizer();
    if (organizer == nullptr) return qEL2_ERR_NOMEM;
    return reader.strings(organizer->pCalAddress, organizer->pCN, organizer->pDir,
                          organizer->pSentBy, organizer->pLanguage);
}

// Unlike every other count, an attendee count of 0 has no filler byte.
int DecodeAttendees(ValueReader& reader, array_t*& attendees) {
    uint32_t count = 0;
    if (int result = reader.count(count, kMinAttendeeBlock)) return result;
    if (count == 0) return 0;
    attendees = array_new();
    if (attendees == nullptr) return qEL2_ERR_NOMEM;
    for (uint32_t i = 0; i < count; ++i) {
        AttendeePtr attendee(qel2_NewAttendee());
        if (!attendee) return qEL2_ERR_NOMEM;
        if (int result = DecodeAttendee(reader, attendee.get())) return result;
        if (int result = AppendHeld(attendees, attendee)) return result;
    }
    return 0;
}

// An alarm that cannot be created, or whose block runs out of memory, fails
// the record with qEL2_ERR_FAILED; a block cut short by the end of the value
// is damage like any other (qEL2_ERR_INVALID).
int DecodeAlarms(ValueReader& reader, array_t*& alarms) {
    uint32_t count = 0;
    if (int result = reader.count(count, kMinAlarmBlock)) return result;
    if (count == 0) return reader.skip(1);
    alarms = array_new();
    if (alarms == nullptr) return qEL2_ERR_NOMEM;
    for (uint32_t i = 0; i < count; ++i) {
        AlarmPtr alarm(qel2_NewAlarm());
        if (!alarm) return qEL2_ERR_FAILED;
        const unsigned char* cursor = reader.position();
        int result = qel2_pvt_DeserializeAlarm(alarm.get(), reader.begin(), &cursor, reader.size());
        if (result == qEL2_ERR_INVALID) return qEL2_ERR_INVALID;
        if (result != 0) return qEL2_ERR_FAILED;
        if ((result = reader.seek(cursor)) != 0) return result;
        if ((result = AppendHeld(alarms, alarm)) != 0) return result;
    }
    return 0;
}

}  // namespace qel2
