// Constructors and releases of the server's record model.
#include <qel2/standin_host.h>

#include <cstdlib>

namespace {

template <typename Record>
Record* NewRecord() {
    return static_cast<Record*>(calloc(1, sizeof(Record)));
}

template <typename... Strings>
void FreeStrings(Strings&... texts) {
    ((free(texts), texts = nullptr), ...);
}

template <typename... Lists>
void FreeStringArrays(Lists&... lists) {
    (strarray_free_and_destroy(&lists), ...);
}

// Releases each record of a list with its release function, then the list.
template <typename Record>
void FreeRecordArray(array_t** list, void (*release)(Record**)) {
    if (list == nullptr || *list == nullptr) return;
    for (uint32_t i = 0; i < (*list)->count; ++i) {
        auto* element = static_cast<Record*>(array_elementat(*list, i));
        release(&element);
    }
    array_removeall(*list);
    free(*list);
    *list = nullptr;
}

template <typename Record>
void FreeRecord(Record** record) {
    free(*record);
    *record = nullptr;
}

// Events and to-dos own the same fields under the same names.
template <typename Item>
void FreeItemFields(Item* item) {
    FreeStrings(item->summary, item->uid, item->description, item->location, item->url,
                item->class_, item->organizer_email, item->charset, item->language, item->extra1,
                item->extra2, item->linked_calid, item->default_organizer);
    caldb_FreeOrganizer(&item->organizer);
    caldb_FreeAttendeeList(&item->attendees);
    caldb_FreeAlarmList(&item->alarms);
    FreeStringArrays(item->rdates, item->exdates, item->rrules, item->exrules, item->related_to,
                     item->extra_list1, item->extra_list2, item->extra_list3, item->categories,
                     item->attachments, item->xprops);
    // private_data is borrowed from the record it was mapped from.
}

}  // namespace

extern "C" {

CALDB_CALPROPS* caldb_NewCalProps(void) { return NewRecord<CALDB_CALPROPS>(); }
CALDB_EVENT* caldb_NewEvent(void) { return NewRecord<CALDB_EVENT>(); }
CALDB_TODO* caldb_NewToDo(void) { return NewRecord<CALDB_TODO>(); }
CALDB_ORGANIZER* caldb_NewOrganizer(void) { return NewRecord<CALDB_ORGANIZER>(); }
CALDB_ATTENDEE* caldb_NewAttendee(void) { return NewRecord<CALDB_ATTENDEE>(); }
CALDB_ALARM* caldb_NewAlarm(void) { return NewRecord<CALDB_ALARM>(); }

void caldb_FreeCalProps(CALDB_CALPROPS** calprops) {
    if (calprops == nullptr || *calprops == nullptr) return;
    CALDB_CALPROPS* c = *calprops;
    FreeStrings(c->description, c->parent_calid, c->cal_master, c->name, c->charset, c->language,
                c->primary_owner, c->extra);
    FreeStringArrays(c->owners, c->children, c->categories);
    acl_caldb_FreeACL(&c->acl);
    FreeRecord(calprops);
}

void caldb_FreeEvent(CALDB_EVENT** event) {
    if (event == nullptr || *event == nullptr) return;
    FreeItemFields(*event);
    FreeRecord(event);
}

void caldb_FreeToDo(CALDB_TODO** todo) {
    if (todo == nullptr || *todo == nullptr) return;
    FreeItemFields(*todo);
    FreeRecord(todo);
}

void caldb_FreeOrganizer(CALDB_ORGANIZER** organizer) {
    if (organizer == nullptr || *organizer == nullptr) return;
    CALDB_ORGANIZER* o = *organizer;
    FreeStrings(o->cal_address, o->id_a, o->id_b, o->sent_by, o->language, o->cn, o->dir);
    FreeRecord(organizer);
}

void caldb_FreeAttendee(CALDB_ATTENDEE** attendee) {
    if (attendee == nullptr || *attendee == nullptr) return;
    CALDB_ATTENDEE* a = *attendee;
    FreeStrings(a->cal_address, a->cutype, a->role, a->cn, a->dir, a->sent_by, a->extra_param,
                a->partstat);
    FreeStringArrays(a->member, a->delegated_to, a->delegated_from);
    FreeRecord(attendee);
}

void caldb_FreeAlarm(CALDB_ALARM** alarm) {
    if (alarm == nullptr || *alarm == nullptr) return;
    CALDB_ALARM* a = *alarm;
    FreeStrings(a->alarm_text1, a->alarm_text2, a->alarm_text3);
    FreeStringArrays(a->alarm_list1, a->alarm_list2, a->alarm_list3);
    FreeRecord(alarm);
}

void caldb_FreeAttendeeList(array_t** attendees) { FreeRecordArray(attendees, caldb_FreeAttendee); }

void caldb_FreeAlarmList(array_t** alarms) { FreeRecordArray(alarms, caldb_FreeAlarm); }

void acl_caldb_FreeACL(array_t** acl) { FreeRecordArray(acl, acl_caldb_ace_FREE); }

}  // extern "C"
