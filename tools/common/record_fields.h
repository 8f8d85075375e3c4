// The stored fields of each record type, in one place: a visitor is called
// once per field with the field's name and the field of every record given,
// so the same list drives reading descriptions, comparing records and
// escaping a record's text for a terminal.
//
// A visitor provides Word, SignedWord, SignedByte, Flags, String, List,
// Organizer, Attendees and Alarms, each taking (name, field...) and Flags
// also the bit table of its word.
#pragma once

#include <cstdint>
#include <span>

#include <qel2/records.h>

namespace qel2::mkstore {

struct FlagBit {
    const char* name;
    uint32_t mask;
};

// Named bits of the flag words, under the names a decoded dump uses.
inline constexpr FlagBit kCalendarAccessBits[] = {
    {"ReadAccess", qEL2_CAL_READ_ACCESS_MASK},
    {"WriteAccess", qEL2_CAL_WRITE_ACCESS_MASK},
    {"bFlag8", qEL2_CAL_FLAG8},
    {"bDisabled", qEL2_CAL_DISABLED},
};
inline constexpr FlagBit kEventFlagBits[] = {
    {"Priority", qEL2_EVENT_PRIORITY_MASK}, {"isDateStart", qEL2_EVENT_START_IS_DATE},
    {"isDateEnd", qEL2_EVENT_END_IS_DATE},  {"Status", qEL2_EVENT_STATUS_MASK},
    {"Tombstone", qEL2_EVENT_TOMBSTONE},    {"bFlag14", qEL2_EVENT_FLAG14},
    {"bFlag15", qEL2_EVENT_FLAG15},
};
inline constexpr FlagBit kToDoFlagBits[] = {
    {"Priority", qEL2_TODO_PRIORITY_MASK},
    {"isDateStart", qEL2_TODO_START_IS_DATE},
    {"isDateDue", qEL2_TODO_DUE_IS_DATE},
    {"Status", qEL2_TODO_STATUS_MASK},
    {"Tombstone", qEL2_TODO_TOMBSTONE},
    {"bFlag13", qEL2_TODO_FLAG13},
    {"bLink", qEL2_TODO_LINK},
};

template <typename V, typename... R>
void VisitOrganizerFields(V& v, R&... r) {
    v.String("pCalAddress", r.pCalAddress...);
    v.String("pCN", r.pCN...);
    v.String("pDir", r.pDir...);
    v.String("pSentBy", r.pSentBy...);
    v.String("pLanguage", r.pLanguage...);
}

template <typename V, typename... R>
void VisitAttendeeFields(V& v, R&... r) {
    v.String("pCalAddress", r.pCalAddress...);
    v.String("pCUType", r.pCUType...);
    v.List("pMember", r.pMember...);
    v.List("pDelegatedTo", r.pDelegatedTo...);
    v.List("pDelegatedFrom", r.pDelegatedFrom...);
    v.String("pRole", r.pRole...);
    v.String("pPartStat", r.pPartStat...);
    v.String("pCN", r.pCN...);
    v.String("pDir", r.pDir...);
    v.String("pSentBy", r.pSentBy...);
    v.String("pExtraParam", r.pExtraParam...);
    v.SignedByte("bRSVP", r.bRSVP...);
}

template <typename V, typename... R>
void VisitAlarmFields(V& v, R&... r) {
    v.Word("lAlarmWord1", r.lAlarmWord1...);
    v.Word("lAlarmWord2", r.lAlarmWord2...);
    v.Word("iAction", r.iAction...);
    v.Word("iRepeat", r.iRepeat...);
    v.Word("lAlarmWord5", r.lAlarmWord5...);
    v.String("pAlarmText1", r.pAlarmText1...);
    v.String("pAlarmText2", r.pAlarmText2...);
    v.String("pAlarmText3", r.pAlarmText3...);
    v.List("pAlarmList1", r.pAlarmList1...);
    v.List("pAlarmList2", r.pAlarmList2...);
    v.List("pAlarmList3", r.pAlarmList3...);
}

template <typename V, typename... R>
void VisitCalPropsFields(V& v, R&... r) {
    v.Word("dtModified", r.dtModified...);
    v.Word("dtCreated", r.dtCreated...);
    v.Flags("accessFlags", std::span<const FlagBit>(kCalendarAccessBits), r.accessFlags...);
    v.String("pDescription", r.pDescription...);
    v.String("pParentCalID", r.pParentCalID...);
    v.String("pRelativeCalID", r.pRelativeCalID...);
    v.String("pCalMaster", r.pCalMaster...);
    v.String("pName", r.pName...);
    v.String("pCharSet", r.pCharSet...);
    v.String("pLanguage", r.pLanguage...);
    v.String("pPrimaryOwner", r.pPrimaryOwner...);
    v.String("pExtra", r.pExtra...);
    v.List("pOtherOwners", r.pOtherOwners...);
    v.List("pChildList", r.pChildList...);
    v.List("pCategoryList", r.pCategoryList...);
}

// Strings, organizer, attendees and alarms: identical in events and to-dos.
template <typename V, typename... R>
void VisitSharedBodyFields(V& v, R&... r) {
    v.String("pSummary", r.pSummary...);
    v.String("pUID", r.pUID...);
    v.String("pDescription", r.pDescription...);
    v.String("pLocation", r.pLocation...);
    v.String("pURL", r.pURL...);
    v.String("pClass", r.pClass...);
    v.String("pOrganizerEmail", r.pOrganizerEmail...);
    v.String("pCharset", r.pCharset...);
    v.String("pLanguage", r.pLanguage...);
    v.String("pExtra1", r.pExtra1...);
    v.String("pExtra2", r.pExtra2...);
    v.Organizer("pOrganizer", r.pOrganizer...);
    v.Attendees("pAttendees", r.pAttendees...);
    v.Alarms("pAlarms", r.pAlarms...);
    v.List("pRDates", r.pRDates...);
    v.List("pEXDates", r.pEXDates...);
    v.List("pRRules", r.pRRules...);
    v.List("pExRules", r.pExRules...);
    v.List("pRelatedTo", r.pRelatedTo...);
    v.List("pCategories", r.pCategories...);
    v.List("pAttachments", r.pAttachments...);
    v.List("pXProps", r.pXProps...);
}

template <typename V, typename... R>
void VisitEventFields(V& v, R&... r) {
    v.Word("dtStart", r.dtStart...);
    v.Word("dtEnd", r.dtEnd...);
    v.Word("lExtra", r.lExtra...);
    v.Word("dtModified", r.dtModified...);
    v.Word("dtCreated", r.dtCreated...);
    v.Word("iSequence", r.iSequence...);
    v.SignedWord("lGeoLat", r.lGeoLat...);
    v.SignedWord("lGeoLon", r.lGeoLon...);
    v.Flags("flags", std::span<const FlagBit>(kEventFlagBits), r.flags...);
    VisitSharedBodyFields(v, r...);
    v.List("pExtraList1", r.pExtraList1...);
    v.List("pExtraList2", r.pExtraList2...);
    v.List("pExtraList3", r.pExtraList3...);
}

template <typename V, typename... R>
void VisitToDoFields(V& v, R&... r) {
    v.Word("dtStart", r.dtStart...);
    v.Word("dtDue", r.dtDue...);
    v.Word("dtModified", r.dtModified...);
    v.Word("dtCompleted", r.dtCompleted...);
    v.Word("dtCreated", r.dtCreated...);
    v.Word("lExtra", r.lExtra...);
    v.Word("iSequence", r.iSequence...);
    v.SignedWord("lExtra2", r.lExtra2...);
    v.SignedWord("lGeoLat", r.lGeoLat...);
    v.SignedWord("lGeoLon", r.lGeoLon...);
    v.Flags("flags", std::span<const FlagBit>(kToDoFlagBits), r.flags...);
    VisitSharedBodyFields(v, r...);
}

}  // namespace qel2::mkstore
