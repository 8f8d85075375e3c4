#include "mapping_fixtures.h"

#include <cstring>

#include "support/string_list.h"

namespace qel2::test {

namespace {

qEL2_ATTENDEE* Attendee(const char* address) {
    qEL2_ATTENDEE* a = qel2_NewAttendee();
    a->pCalAddress = strdup(address);
    a->pMember = StringList({"team", ""});
    a->pPartStat = strdup("ACCEPTED");
    return a;
}

template <typename Item>
void FillItem(Item* item) {
    item->dtStart = 1136450700;
    item->dtCreated = 1136000000;
    item->iSequence = 4;
    item->lExtra = 9;
    item->lGeoLat = -33865143;
    item->lGeoLon = 151209900;
    item->RecurrenceID = 1136450800;
    item->lHostData = 77;
    for (auto [field, text] : {std::pair{&item->pSummary, "summary"},
                               {&item->pUID, "uid"},
                               {&item->pDescription, "description"},
                               {&item->pLocation, "location"},
                               {&item->pURL, "url"},
                               {&item->pClass, "class"},
                               {&item->pOrganizerEmail, "organizer_email"},
                               {&item->pCharset, "charset"},
                               {&item->pLanguage, "language"},
                               {&item->pExtra1, "extra1"},
                               {&item->pExtra2, "extra2"},
                               {&item->pLinkedCalID, "linked_calid"}}) {
        *field = strdup(text);
    }
    for (auto [field, text] : {std::pair{&item->pRDates, "rdates"},
                               {&item->pEXDates, "exdates"},
                               {&item->pRRules, "rrules"},
                               {&item->pExRules, "exrules"},
                               {&item->pRelatedTo, "related_to"},
                               {&item->pExtraList2, "extra_list2"},
                               {&item->pExtraList3, "extra_list3"},
                               {&item->pCategories, "categories"},
                               {&item->pAttachments, "attachments"},
                               {&item->pXProps, "xprops"}}) {
        *field = StringList({text});
    }
    item->pOrganizer = qel2_NewOrganizer();
    item->pOrganizer->pCalAddress = strdup("mailto:boss@example.com");
    item->pOrganizer->pCN = strdup("Boss");
    item->pAttendees = array_new();
    for (const char* who :
         {"mailto:a@example.com", "mailto:b@example.com", "mailto:c@example.com"}) {
        array_append(item->pAttendees, Attendee(who));
    }
    qEL2_VALARM* alarm = qel2_NewAlarm();
    alarm->lAlarmWord1 = 1136450700;
    alarm->pAlarmText2 = strdup("Subject");
    alarm->pAlarmList1 = StringList({"mailto:me@example.com"});
    item->pAlarms = array_new();
    array_append(item->pAlarms, alarm);
}

}  // namespace

qEL2_VEVENT* FullEvent() {
    qEL2_VEVENT* event = qel2_NewEvent();
    FillItem(event);
    event->dtEnd = 1136454300;
    return event;
}

qEL2_VTODO* FullToDo() {
    qEL2_VTODO* todo = qel2_NewToDo();
    FillItem(todo);
    todo->dtDue = 1136454300;
    todo->dtCompleted = 1136460000;
    todo->lExtra2 = -5;
    return todo;
}

}  // namespace qel2::test
