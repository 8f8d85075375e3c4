// Every calendar, event and to-do value of the genuine 4.2 store decodes
// to exactly the fields its manifest lists (no more, no fewer), and its
// flag word splits through the accessors as the manifest splits it.

#include <gtest/gtest.h>

#include "decoded.h"

namespace qel2::test::codec {
namespace {

using nlohmann::json;

// The manifest's notation: null for an absent string, list or record.
json Text(const char* text) { return text ? json(text) : json(); }
template <typename Record>
json Records(const array_t* list, json (*fields)(const Record*)) {
    if (list == nullptr) return nullptr;
    json items = json::array();
    for (uint32_t i = 0; i < list->count; ++i)
        items.push_back(fields(static_cast<Record*>(array_elementat(list, i))));
    return items;
}
json Strings(const array_t* list) {
    return Records<char>(list, [](const char* s) { return json(s); });
}

#define NUMBER(r, name) \
    { #name, (r)->name }
#define TEXT(r, name) \
    { #name, Text((r)->name) }
#define LIST(r, name) \
    { #name, Strings((r)->name) }

json Organizer(const qEL2_ORGANIZER* o) {
    if (o == nullptr) return nullptr;
    return {TEXT(o, pCalAddress), TEXT(o, pCN), TEXT(o, pDir), TEXT(o, pSentBy),
            TEXT(o, pLanguage)};
}

json Attendee(const qEL2_ATTENDEE* a) {
    return {TEXT(a, pCalAddress), TEXT(a, pCUType),      TEXT(a, pRole),
            TEXT(a, pPartStat),   TEXT(a, pCN),          TEXT(a, pDir),
            TEXT(a, pSentBy),     TEXT(a, pExtraParam),  {"bRSVP", int{a->bRSVP}},
            LIST(a, pMember),     LIST(a, pDelegatedTo), LIST(a, pDelegatedFrom)};
}

json Alarm(const qEL2_VALARM* a) {
    return {NUMBER(a, lAlarmWord1), NUMBER(a, lAlarmWord2), NUMBER(a, iAction),
            NUMBER(a, iRepeat),     NUMBER(a, lAlarmWord5), NUMBER(a, lAlarmHost1),
            NUMBER(a, lAlarmHost2), TEXT(a, pAlarmText1),   TEXT(a, pAlarmText2),
            TEXT(a, pAlarmText3),   LIST(a, pAlarmList1),   LIST(a, pAlarmList2),
            LIST(a, pAlarmList3)};
}

// The fields events and to-dos share by name, and `own` fields.
template <typename Record>
json Fields(const Record* r, json own) {
    own.update(json{NUMBER(r, dtStart),
                    NUMBER(r, dtModified),
                    NUMBER(r, dtCreated),
                    NUMBER(r, lExtra),
                    NUMBER(r, iSequence),
                    NUMBER(r, lGeoLat),
                    NUMBER(r, lGeoLon),
                    NUMBER(r, flags),
                    TEXT(r, pSummary),
                    TEXT(r, pUID),
                    TEXT(r, pDescription),
                    TEXT(r, pLocation),
                    TEXT(r, pURL),
                    TEXT(r, pClass),
                    TEXT(r, pOrganizerEmail),
                    TEXT(r, pCharset),
                    TEXT(r, pLanguage),
                    TEXT(r, pExtra1),
                    TEXT(r, pExtra2),
                    TEXT(r, pLinkedCalID),
                    {"pOrganizer", Organizer(r->pOrganizer)},
                    {"pAttendees", Records(r->pAttendees, Attendee)},
                    {"pAlarms", Records(r->pAlarms, Alarm)},
                    LIST(r, pRDates),
                    LIST(r, pEXDates),
                    LIST(r, pRRules),
                    LIST(r, pExRules),
                    LIST(r, pRelatedTo),
                    LIST(r, pExtraList1),
                    LIST(r, pExtraList2),
                    LIST(r, pExtraList3),
                    LIST(r, pCategories),
                    LIST(r, pAttachments),
                    LIST(r, pXProps)});
    return own;
}
json Fields(const qEL2_VEVENT* e) { return Fields(e, {NUMBER(e, dtEnd), NUMBER(e, rtflags)}); }
json Fields(const qEL2_VTODO* t) {
    return Fields(t, {NUMBER(t, dtDue), NUMBER(t, dtCompleted), NUMBER(t, lExtra2)});
}
json Fields(const qEL2_CALPROPS* c) {
    const uint32_t access = c->accessFlags;
    return {NUMBER(c, dtModified),
            NUMBER(c, dtCreated),
            NUMBER(c, accessFlags),
            {"ReadAccess", qel2_CalReadAccess(access)},
            {"WriteAccess", qel2_CalWriteAccess(access)},
            {"bFlag8", qel2_CalFlag8(access)},
            {"bDisabled", qel2_CalDisabled(access)},
            TEXT(c, pDescription),
            TEXT(c, pParentCalID),
            TEXT(c, pRelativeCalID),
            TEXT(c, pCalMaster),
            TEXT(c, pName),
            TEXT(c, pCharSet),
            TEXT(c, pLanguage),
            TEXT(c, pPrimaryOwner),
            TEXT(c, pExtra),
            LIST(c, pOtherOwners),
            LIST(c, pChildList),
            LIST(c, pCategoryList)};
}

json Flags(uint32_t w, const qEL2_VEVENT*) {
    return {{"Priority", qel2_EventPriority(w)},
            {"isDateStart", qel2_EventStartIsDate(w)},
            {"isDateEnd", qel2_EventEndIsDate(w)},
            {"Status", qel2_EventStatus(w)},
            {"Tombstone", qel2_EventTombstone(w)},
            {"bFlag14", (w >> 14) & 1},
            {"bFlag15", (w >> 15) & 1}};
}
json Flags(uint32_t w, const qEL2_VTODO*) {
    return {{"Priority", qel2_ToDoPriority(w)},   {"isDateStart", qel2_ToDoStartIsDate(w)},
            {"isDateDue", qel2_ToDoDueIsDate(w)}, {"Status", qel2_ToDoStatus(w)},
            {"Tombstone", qel2_ToDoTombstone(w)}, {"bFlag13", qel2_ToDoFlag13(w)},
            {"bLink", qel2_ToDoIsLink(w)}};
}

template <typename Record>
void ExpectManifestFields(const char* section) {
    ASSERT_FALSE(qel2::test::Legacy42Manifest().at(section).empty());
    for (const json& stored : qel2::test::Legacy42Manifest().at(section)) {
        SCOPED_TRACE(RecordName(stored));
        Decoded<Record> decoded(StoredValue(stored));
        ASSERT_EQ(decoded.result, 0);
        json expected = stored.at("fields");
        expected.erase("RecurrenceID");  // taken from the key, not the value
        EXPECT_EQ(Fields(decoded.owned.get()), expected);
        if constexpr (!std::is_same_v<Record, qEL2_CALPROPS>) {
            EXPECT_EQ(Flags(decoded->flags, decoded.owned.get()), stored.at("flags_decoded"));
        }
    }
}

TEST(LegacyStoreValues, EventsDecodeToTheirManifestFields) {
    ExpectManifestFields<qEL2_VEVENT>("events");
}
TEST(LegacyStoreValues, ToDosDecodeToTheirManifestFields) {
    ExpectManifestFields<qEL2_VTODO>("todos");
}
TEST(LegacyStoreValues, CalendarsDecodeToTheirManifestFields) {
    ExpectManifestFields<qEL2_CALPROPS>("calendars");
}

}  // namespace
}  // namespace qel2::test::codec
