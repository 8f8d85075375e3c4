// Stored values of calendar properties, events, to-dos and their alarms.

#include "record_encoder.h"

namespace qel2::mkstore {

namespace {

// The format cannot hold an organizer without an address: its first byte
// being 0 means "no organizer". Such an organizer is written as absent.
void EncodeOrganizer(ValueWriter& out, const qEL2_ORGANIZER* organizer) {
    if (organizer == nullptr || organizer->pCalAddress == nullptr ||
        organizer->pCalAddress[0] == '\0') {
        out.Byte(0);
        return;
    }
    out.String(organizer->pCalAddress);
    out.String(organizer->pCN);
    out.String(organizer->pDir);
    out.String(organizer->pSentBy);
    out.String(organizer->pLanguage);
}

void EncodeAttendee(ValueWriter& out, const qEL2_ATTENDEE& attendee) {
    out.String(attendee.pCalAddress);
    out.String(attendee.pCUType);
    out.String(attendee.pRole);
    out.String(attendee.pPartStat);
    out.String(attendee.pCN);
    out.String(attendee.pDir);
    out.String(attendee.pSentBy);
    out.String(attendee.pExtraParam);
    out.Byte(static_cast<uint8_t>(static_cast<int8_t>(attendee.bRSVP)));
    out.List(attendee.pMember);
    out.List(attendee.pDelegatedTo);
    out.List(attendee.pDelegatedFrom);
}

template <typename Record>
const Record& Element(const array_t* list, uint32_t index) {
    return *static_cast<const Record*>(array_elementat(list, index));
}

uint32_t Count(const array_t* list) { return list == nullptr ? 0 : list->count; }

// Events and to-dos share everything from the organizer block to the
// alarms; only their leading words and trailing lists differ.
template <typename Record>
void EncodeSharedBody(ValueWriter& out, const Record& record) {
    EncodeOrganizer(out, record.pOrganizer);
    // Unlike every other count, an attendee count of 0 has no filler byte.
    out.Word(Count(record.pAttendees));
    for (uint32_t i = 0; i < Count(record.pAttendees); ++i)
        EncodeAttendee(out, Element<qEL2_ATTENDEE>(record.pAttendees, i));
    for (const char* text : {record.pSummary, record.pUID, record.pDescription, record.pLocation,
                             record.pURL, record.pClass, record.pOrganizerEmail, record.pCharset,
                             record.pLanguage, record.pExtra1, record.pExtra2})
        out.String(text);
    // An alarm count behaves like a list count: 0 is followed by a filler.
    if (Count(record.pAlarms) == 0) {
        out.List(nullptr);
        return;
    }
    out.Word(Count(record.pAlarms));
    for (uint32_t i = 0; i < Count(record.pAlarms); ++i)
        EncodeAlarm(out, Element<qEL2_VALARM>(record.pAlarms, i));
}

}  // namespace

void EncodeAlarm(ValueWriter& out, const qEL2_VALARM& alarm) {
    for (uint32_t word :
         {alarm.lAlarmWord1, alarm.lAlarmWord2, alarm.iAction, alarm.iRepeat, alarm.lAlarmWord5})
        out.Word(word);
    for (const char* text : {alarm.pAlarmText1, alarm.pAlarmText2, alarm.pAlarmText3})
        out.String(text);
    for (const array_t* list : {alarm.pAlarmList1, alarm.pAlarmList2, alarm.pAlarmList3})
        out.List(list);
}

Bytes EncodeCalProps(const qEL2_CALPROPS& cal, const EncodeOptions& options) {
    ValueWriter out(options.filler);
    for (uint32_t word : {cal.dtModified, cal.dtCreated, cal.accessFlags}) out.Word(word);
    for (const char* text : {cal.pDescription, cal.pParentCalID, cal.pRelativeCalID, cal.pCalMaster,
                             cal.pName, cal.pCharSet, cal.pLanguage, cal.pPrimaryOwner, cal.pExtra})
        out.String(text);
    out.List(cal.pOtherOwners);
    out.List(cal.pChildList);
    if (options.categoryFiller)
        out.List(cal.pCategoryList);
    else
        out.ListWithoutFiller(cal.pCategoryList);
    return std::move(out.bytes());
}

Bytes EncodeEvent(const qEL2_VEVENT& event, const EncodeOptions& options) {
    ValueWriter out(options.filler);
    for (uint32_t word : {event.dtStart, event.dtEnd, event.lExtra, event.dtModified,
                          event.dtCreated, event.iSequence, static_cast<uint32_t>(event.lGeoLat),
                          static_cast<uint32_t>(event.lGeoLon), event.flags})
        out.Word(word);
    EncodeSharedBody(out, event);
    for (const array_t* list :
         {event.pRDates, event.pEXDates, event.pRRules, event.pExRules, event.pRelatedTo,
          event.pExtraList1, event.pExtraList2, event.pExtraList3, event.pCategories,
          event.pAttachments, event.pXProps})
        out.List(list);
    return std::move(out.bytes());
}

Bytes EncodeToDo(const qEL2_VTODO& todo, const EncodeOptions& options) {
    ValueWriter out(options.filler);
    // Stored order, which is not the record's field order.
    for (uint32_t word :
         {todo.dtStart, todo.dtDue, todo.dtCompleted, todo.lExtra, todo.dtModified, todo.dtCreated,
          todo.iSequence, static_cast<uint32_t>(todo.lExtra2), static_cast<uint32_t>(todo.lGeoLat),
          static_cast<uint32_t>(todo.lGeoLon), todo.flags})
        out.Word(word);
    EncodeSharedBody(out, todo);
    // The to-do stores no extra lists.
    for (const array_t* list : {todo.pRDates, todo.pEXDates, todo.pRRules, todo.pExRules,
                                todo.pRelatedTo, todo.pCategories, todo.pAttachments, todo.pXProps})
        out.List(list);
    return std::move(out.bytes());
}

}  // namespace qel2::mkstore
