// Destructors of the decoded records and their lists: each releases
// everything its record owns, then the record, and clears the caller's
// pointer.

#include <cstdlib>

#include <qel2/records.h>

namespace {

void FreeString(char*& text) {
    free(text);
    text = nullptr;
}

template <typename... Strings>
void FreeStrings(Strings&... texts) {
    (FreeString(texts), ...);
}

template <typename... Lists>
void FreeStringLists(Lists&... lists) {
    (strarray_free_and_destroy(&lists), ...);
}

// Releases each element of a record list with its destructor (which
// leaves a null element alone), then the list itself. The list's slots are
// not cleared during the walk.
template <typename Record>
void FreeRecordList(array_t*& list, int (*destroy)(Record**)) {
    const uint32_t count = list ? list->count : 0;
    for (uint32_t i = 0; i < count; ++i) {
        auto* element = static_cast<Record*>(array_elementat(list, i));
        destroy(&element);
    }
    if (list != nullptr) {
        array_removeall(list);
        free(list);
        list = nullptr;
    }
}

// Events and to-dos own the same kinds of fields under the same names.
template <typename Record>
void FreeEventLike(Record* r) {
    FreeStrings(r->pSummary, r->pUID, r->pDescription, r->pLocation, r->pURL, r->pClass,
                r->pOrganizerEmail, r->pCharset, r->pLanguage, r->pExtra1, r->pExtra2,
                r->pLinkedCalID);
    qel2_FreeOrganizer(&r->pOrganizer);
    FreeRecordList(r->pAlarms, qel2_FreeAlarm);
    FreeRecordList(r->pAttendees, qel2_FreeAttendee);
    FreeStringLists(r->pRDates, r->pEXDates, r->pRRules, r->pExRules, r->pRelatedTo, r->pExtraList1,
                    r->pExtraList2, r->pExtraList3, r->pCategories, r->pAttachments, r->pXProps);
}

// What a list destructor returns for a null address and for a null list
// (<qel2/records.h>): plain numbers of their own, one higher for the
// calendar list, not the library's result codes that share their values.
struct NullListResults {
    int address;
    int list;
};
constexpr NullListResults kCalendarList = {2, 3};
constexpr NullListResults kItemList = {1, 2};

// A list the host holds: the library's private release first, then every
// record and the list.
template <typename Record>
int FreeHeldList(array_t** list, NullListResults nulls, int (*releasePrivate)(array_t**),
                 int (*destroy)(Record**)) {
    if (list == nullptr) return nulls.address;
    if (*list == nullptr) return nulls.list;
    releasePrivate(list);
    FreeRecordList(*list, destroy);
    return 0;
}

template <typename Record>
int Release(Record** record) {
    free(*record);
    *record = nullptr;
    return 0;
}

}  // namespace

extern "C" {

int qel2_FreeOrganizer(qEL2_ORGANIZER** organizer) {
    if (organizer == nullptr || *organizer == nullptr) return 0;
    qel2_pvt_FreeOrganizer(organizer);
    qEL2_ORGANIZER* o = *organizer;
    FreeStrings(o->pCalAddress, o->pCN, o->pDir, o->pSentBy, o->pLanguage);
    return Release(organizer);
}

int qel2_FreeAttendee(qEL2_ATTENDEE** attendee) {
    if (attendee == nullptr || *attendee == nullptr) return 0;
    qel2_pvt_FreeAttendee(attendee);
    qEL2_ATTENDEE* a = *attendee;
    FreeStrings(a->pCalAddress, a->pCUType, a->pRole, a->pPartStat, a->pCN, a->pDir, a->pSentBy,
                a->pExtraParam);
    FreeStringLists(a->pMember, a->pDelegatedTo, a->pDelegatedFrom);
    return Release(attendee);
}

int qel2_FreeAlarm(qEL2_VALARM** alarm) {
    if (alarm == nullptr || *alarm == nullptr) return 0;
    qEL2_VALARM* a = *alarm;
    FreeStrings(a->pAlarmText1, a->pAlarmText2, a->pAlarmText3);
    FreeStringLists(a->pAlarmList1, a->pAlarmList2, a->pAlarmList3);
    return Release(alarm);
}

int qel2_FreeEvent(qEL2_VEVENT** event) {
    if (event == nullptr || *event == nullptr) return 0;
    qel2_pvt_FreeEvent(event);
    FreeEventLike(*event);
    return Release(event);
}

int qel2_FreeToDo(qEL2_VTODO** todo) {
    if (todo == nullptr || *todo == nullptr) return 0;
    qel2_pvt_FreeToDo(todo);
    FreeEventLike(*todo);
    return Release(todo);
}

int qel2_FreeCalProps(qEL2_CALPROPS** calprops) {
    if (calprops == nullptr || *calprops == nullptr) return 0;
    qel2_pvt_FreeCalProps(calprops);
    qEL2_CALPROPS* c = *calprops;
    FreeStrings(c->pDescription, c->pParentCalID, c->pRelativeCalID, c->pCalMaster, c->pName,
                c->pCharSet, c->pLanguage, c->pPrimaryOwner, c->pExtra);
    FreeStringLists(c->pOtherOwners, c->pChildList, c->pCategoryList);
    return Release(calprops);
}

int qel2_FreeCalPropsList(array_t** list) {
    return FreeHeldList(list, kCalendarList, qel2_pvt_FreeCalPropsList, qel2_FreeCalProps);
}

int qel2_FreeEventList(array_t** list) {
    return FreeHeldList(list, kItemList, qel2_pvt_FreeEventList, qel2_FreeEvent);
}

int qel2_FreeToDoList(array_t** list) {
    return FreeHeldList(list, kItemList, qel2_pvt_FreeToDoList, qel2_FreeToDo);
}

}  // extern "C"
