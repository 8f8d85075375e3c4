// Decoders of the stored values: calendar properties, events, to-dos and
// the alarm blocks embedded in events and to-dos.

#include <qel2/codec.h>
#include <qel2/log.h>
#include <qel2/owned.h>

#include "value_reader.h"

namespace {

using qel2::AlarmPtr;
using qel2::AttendeePtr;
using qel2::ValueReader;

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

// The middle of an event or to-do value, stored alike by both: organizer
// block, attendee count and blocks, the eleven strings, alarm count and
// blocks. Only the leading words and the trailing lists differ.
template <typename Record>
int DecodeEventBody(ValueReader& reader, Record* record) {
    if (int result = DecodeOrganizer(reader, record->pOrganizer)) return result;
    if (int result = DecodeAttendees(reader, record->pAttendees)) return result;
    if (int result =
            reader.strings(record->pSummary, record->pUID, record->pDescription, record->pLocation,
                           record->pURL, record->pClass, record->pOrganizerEmail, record->pCharset,
                           record->pLanguage, record->pExtra1, record->pExtra2)) {
        return result;
    }
    return DecodeAlarms(reader, record->pAlarms);
}

}  // namespace

// One alarm block embedded in an event or to-do value.
extern "C" int qel2_pvt_DeserializeAlarm(qEL2_VALARM* alarm, const unsigned char* value,
                                         const unsigned char** cursor, uint32_t size) {
    if (alarm == nullptr || value == nullptr || cursor == nullptr) return qEL2_ERR_INVALID;
    ValueReader reader(value, size);
    if (int result = reader.seek(*cursor)) return result;
    if (int result = reader.words(alarm->lAlarmWord1, alarm->lAlarmWord2, alarm->iAction,
                                  alarm->iRepeat, alarm->lAlarmWord5)) {
        return result;
    }
    if (int result = reader.strings(alarm->pAlarmText1, alarm->pAlarmText2, alarm->pAlarmText3)) {
        return result;
    }
    if (int result =
            reader.stringLists(alarm->pAlarmList1, alarm->pAlarmList2, alarm->pAlarmList3)) {
        return result;
    }
    *cursor = reader.position();
    return 0;
}

// A calprops.db value into the public part of a calendar record.
extern "C" int qel2_pvt_DeserializeCalProps(qEL2_CALPROPS* calprops, const unsigned char* value,
                                            uint32_t size) {
    if (calprops == nullptr || value == nullptr) return qEL2_ERR_INVALID;
    ValueReader reader(value, size);
    if (int result =
            reader.words(calprops->dtModified, calprops->dtCreated, calprops->accessFlags)) {
        return result;
    }
    if (int result =
            reader.strings(calprops->pDescription, calprops->pParentCalID, calprops->pRelativeCalID,
                           calprops->pCalMaster, calprops->pName, calprops->pCharSet,
                           calprops->pLanguage, calprops->pPrimaryOwner, calprops->pExtra)) {
        return result;
    }
    if (int result = reader.stringLists(calprops->pOtherOwners, calprops->pChildList))
        return result;
    // The value may end right after a zero category count: stored calendars
    // are written both with and without the filler byte there, so nothing
    // is read after that count. Bytes after the last field are ignored.
    uint32_t categories = 0;
    if (int result = reader.count(categories, 1)) return result;
    if (categories == 0) return 0;
    return reader.stringListItems(categories, calprops->pCategoryList);
}

// An events.db value, with link detection.
extern "C" int qel2_pvt_DeserializeEvent(qEL2_VEVENT* event, const unsigned char* value,
                                         uint32_t size) {
    if (event == nullptr || value == nullptr) return qEL2_ERR_INVALID;
    ValueReader reader(value, size);
    if (int result = reader.words(event->dtStart, event->dtEnd, event->lExtra, event->dtModified,
                                  event->dtCreated, event->iSequence, event->lGeoLat,
                                  event->lGeoLon, event->flags)) {
        return result;
    }
    if (int result = DecodeEventBody(reader, event)) return result;
    if (int result = reader.stringLists(event->pRDates, event->pEXDates, event->pRRules,
                                        event->pExRules, event->pRelatedTo, event->pExtraList1,
                                        event->pExtraList2, event->pExtraList3, event->pCategories,
                                        event->pAttachments, event->pXProps)) {
        return result;
    }
    // A record without times whose URL names a calendar stands in for the
    // event that calendar keeps; the event reads follow it.
    if (event->dtStart == 0 && event->dtEnd == 0 && event->pURL != nullptr) {
        event->rtflags |= qEL2_EVENT_RT_LINK;
    }
    return 0;
}

// A todos.db value. A to-do's link mark is a bit of its stored flag word,
// so nothing is computed after decoding.
extern "C" int qel2_pvt_DeserializeToDo(qEL2_VTODO* todo, const unsigned char* value,
                                        uint32_t size) {
    if (todo == nullptr || value == nullptr) return qEL2_ERR_INVALID;
    ValueReader reader(value, size);
    // Stored order, which is not the record's field order.
    if (int result = reader.words(todo->dtStart, todo->dtDue, todo->dtCompleted, todo->lExtra,
                                  todo->dtModified, todo->dtCreated, todo->iSequence, todo->lExtra2,
                                  todo->lGeoLat, todo->lGeoLon, todo->flags)) {
        return result;
    }
    if (int result = DecodeEventBody(reader, todo)) return result;
    // To-dos store no pExtraList1 to pExtraList3.
    return reader.stringLists(todo->pRDates, todo->pEXDates, todo->pRRules, todo->pExRules,
                              todo->pRelatedTo, todo->pCategories, todo->pAttachments,
                              todo->pXProps);
}
