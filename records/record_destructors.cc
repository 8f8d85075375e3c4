// Destructors of the decoded records: each releases everything its record
// owns, then the record, and clears the caller's pointer.

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

// Releases each element of a record list with its destructor, then the
// list itself.
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

}  // extern "C"
