// The event and to-do dumps, compared with whole expected texts kept in
// tests/data/dumps.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>

#include <qel2/diag.h>

#include "support/pr_capture.h"
#include "support/string_list.h"
#include "support/temp_dir.h"

namespace {

using qel2::test::StringList;

array_t* Records(std::initializer_list<void*> records) {
    array_t* list = array_new();
    for (void* record : records) array_append(list, record);
    return list;
}

std::string Expected(const char* name) {
    return qel2::test::test_data_text(std::string("dumps/") + name);
}

// The dump of an event or a to-do, which must succeed.
template <typename Record>
std::string Dump(const Record* record) {
    qel2::test::PrCapture out;
    if constexpr (std::is_same_v<Record, qEL2_VEVENT>)
        EXPECT_EQ(qel2dbut_PrintEvent(record, out.fd()), 0);
    else
        EXPECT_EQ(qel2dbut_PrintToDo(record, out.fd()), 0);
    return out.text();
}

qEL2_ORGANIZER* Organizer(bool complete) {
    qEL2_ORGANIZER* o = qel2_NewOrganizer();
    o->pCalAddress = strdup("mailto:o@example.com");
    if (complete) {
        o->pCN = strdup("Olga");
        o->pDir = strdup("ldap://dir/olga");
        o->pSentBy = strdup("mailto:s@example.com");
        o->pLanguage = strdup("de");
    }
    return o;
}

// A repeating e-mail alarm and a single display alarm with few texts.
array_t* Alarms() {
    qEL2_VALARM* mail = qel2_NewAlarm();
    mail->lAlarmWord1 = 1137400200;
    mail->iAction = 0;
    mail->iRepeat = 2;
    mail->lAlarmWord5 = 300;
    mail->pAlarmText1 = strdup("Bring %s notes");
    mail->pAlarmText2 = strdup("Reminder");
    mail->pAlarmText3 = strdup("alarm-1");
    mail->pAlarmList1 = StringList({"a@example.com", "b@example.com"});
    qEL2_VALARM* display = qel2_NewAlarm();
    display->iAction = 1;
    display->pAlarmText1 = strdup("Look up");
    return Records({mail, display});
}

// The fields events and to-dos share, including a null list element and
// a null attendee.
template <typename Record>
void FillShared(Record* r) {
    r->pSummary = strdup("Plan 100%s");
    r->dtStart = 1137401100;
    r->pUID = strdup("uid-1");
    r->RecurrenceID = 1137405600;
    r->dtCreated = 1136073600;
    r->dtModified = 1137418200;
    r->pRRules = StringList({"FREQ=WEEKLY"});
    r->pExRules = StringList({"FREQ=MONTHLY", "FREQ=YEARLY"});
    r->pRDates = StringList({"20060120T084500Z", nullptr});
    r->pEXDates = StringList({"20060123T084500Z"});
    r->pLocation = strdup("Room 1");
    r->iSequence = 4294967295u;
    r->lGeoLat = 37500000;
    r->lGeoLon = -122419416;
    r->pURL = strdup("cal-b");
    r->pDescription = strdup("Agenda");
    r->pClass = strdup("PUBLIC");
    r->pOrganizerEmail = strdup("mailto:org@example.com");
    r->pCharset = strdup("UTF-8");
    r->pLanguage = strdup("en");
    r->pRelatedTo = StringList({"uid-0"});
    r->pCategories = StringList({"Work", "Team"});
    qEL2_ATTENDEE* bob = qel2_NewAttendee();
    bob->pCalAddress = strdup("mailto:b@example.com");
    bob->bRSVP = 1;
    bob->pCN = strdup("Bob");
    r->pAttendees = Records({bob, nullptr});
    r->pAttachments = StringList({"http://example.com/a.pdf"});
    r->pXProps = StringList({"X-A:1"});
    r->pAlarms = Alarms();
}

TEST(EventDump, EveryFieldSetAndEveryFieldAbsent) {
    qEL2_VEVENT* event = qel2_NewEvent();
    EXPECT_EQ(Dump(event), Expected("event-empty.txt"));
    FillShared(event);
    event->dtEnd = 1137448800;
    event->flags = 5 | qEL2_EVENT_START_IS_DATE | (2u << 7) | qEL2_EVENT_TOMBSTONE;
    event->rtflags = qEL2_EVENT_RT_LINK;
    event->pOrganizer = Organizer(true);
    EXPECT_EQ(Dump(event), Expected("event-full.txt"));
    qel2_FreeEvent(&event);
}

TEST(ToDoDump, EveryFieldSetAndEveryFieldAbsent) {
    qEL2_VTODO* todo = qel2_NewToDo();
    EXPECT_EQ(Dump(todo), Expected("todo-empty.txt"));
    FillShared(todo);
    todo->dtDue = 1137488400;
    todo->dtCompleted = 1137448800;
    todo->flags = 9 | qEL2_TODO_START_IS_DATE | qEL2_TODO_DUE_IS_DATE | (3u << 6) |
                  qEL2_TODO_TOMBSTONE | qEL2_TODO_LINK;
    todo->pOrganizer = Organizer(false);
    EXPECT_EQ(Dump(todo), Expected("todo-full.txt"));
    qel2_FreeToDo(&todo);
}

// Lines without a placeholder of their own show a null text as "(null)".
TEST(ToDoDump, NullWhereTheLineHasNoPlaceholder) {
    qEL2_VTODO* todo = qel2_NewToDo();
    todo->flags |= qEL2_TODO_LINK;
    todo->pOrganizer = qel2_NewOrganizer();
    const std::string dump = Dump(todo);
    EXPECT_NE(dump.find("organizer caladdress  = (null)\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("            Link = (null)\n"), std::string::npos) << dump;
    qel2_FreeToDo(&todo);
}

}  // namespace
