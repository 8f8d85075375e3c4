// The event and to-do dumps, compared with whole expected texts.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>

#include <qel2/diag.h>

#include "support/pr_capture.h"
#include "support/string_list.h"

namespace {

using qel2test::StringList;

array_t* Records(std::initializer_list<void*> records) {
    array_t* list = array_new();
    for (void* record : records) array_append(list, record);
    return list;
}

// The dump of an event or a to-do, which must succeed.
template <typename Record>
std::string Dump(const Record* record) {
    qel2test::PrCapture out;
    if constexpr (std::is_same_v<Record, qEL2_VEVENT>) EXPECT_EQ(qel2dbut_PrintEvent(record, out.fd()), 0);
    else EXPECT_EQ(qel2dbut_PrintToDo(record, out.fd()), 0);
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

// Expected lines that events and to-dos share, as whole blocks; the
// tests put them between the lines of their own.
constexpr const char* kFullSummaryAndStart = R"(        pSummary = Plan 100%s
         dtStart = 1137401100  (20060116T084500Z) [16-Jan-06 08:45AM GMT]  (isDate = 1)
)";
constexpr const char* kFullUidToSequence = R"(            pUID = uid-1
    RecurrenceID = 1137405600  (20060116T100000Z) [16-Jan-06 10:00AM GMT]
         Created = 1136073600  (20060101T000000Z) [01-Jan-06 12:00AM GMT]
        Modified = 1137418200  (20060116T133000Z) [16-Jan-06 01:30PM GMT]
Recurrence Rules = 1
                     FREQ=WEEKLY
   Exclude Rules = 2
                     FREQ=MONTHLY
                     FREQ=YEARLY
          RDates = 2
                     20060120T084500Z
                     
         EXDates = 1
                     20060123T084500Z
        Location = Room 1
       iSequence = 4294967295
)";
constexpr const char* kFullTombstoneToOrganizer = R"(       Tombstone = 1
             Geo = (37.500000,-122.419416)
             URL = cal-b
     Description = Agenda
           Class = PUBLIC
  OrganizerEmail = mailto:org@example.com
         Charset = UTF-8
        Language = en
       Organizer = present
                  organizer caladdress  = mailto:o@example.com
)";
constexpr const char* kFullRelatedToAlarms = R"(      related to = 1
                 related to[0] = uid-0
      categories = 2
                   category[0] = Work
                   category[1] = Team
       attendees = 2
                   attendee[0] = mailto:b@example.com RSVP=TRUE;CN=Bob
                   attendee[1] = (null)
     attachments = 1
                 attachment[0] = http://example.com/a.pdf
          xprops = 1
                   xprop[0] = X-A:1
          Alarms = 2
Alarm 0.  Action = EMAIL  at 20060116T083000Z
    UID: alarm-1
    Subj: Reminder
    Description: Bring %s notes  repeats 2 times every 300 seconds 
    email to: a@example.com,b@example.com
Alarm 1.  Action = DISPLAY  at none
    UID: 
    Subj: 
    Description: Look up 
)";

constexpr const char* kEmptyUidToPriority = R"(            pUID = <not specified>
    RecurrenceID = 0  
         Created = 0  
        Modified = 0  
Recurrence Rules = 0
   Exclude Rules = 0
          RDates = 0
         EXDates = 0
        Location = <not specified>
       iSequence = 0
        Priority = 0
)";
constexpr const char* kEmptyTombstoneToOrganizer = R"(       Tombstone = 0
             Geo = (0.000000,0.000000)
             URL = <not specified>
     Description = <not specified>
           Class = <not specified>
  OrganizerEmail = <not specified>
         Charset = <not specified>
        Language = <not specified>
       Organizer = not present
)";
constexpr const char* kEmptyRelatedToAlarms = R"(      related to = 0
      categories = 0
       attendees = 0
     attachments = 0
          xprops = 0
          Alarms = 0
)";

#include <fstream>
std::string G(const char* n, const std::string& s) { std::ofstream(std::string("/tmp/golden/") + n + ".txt") << s; return s; }
template <typename... Parts>
std::string Join(const Parts&... parts) {
    return (std::string() + ... + parts);
}

TEST(EventDump, EveryFieldSet) {
    qEL2_VEVENT* event = qel2_NewEvent();
    FillShared(event);
    event->dtEnd = 1137448800;
    event->flags = 5 | qEL2_EVENT_START_IS_DATE | (2u << 7) | qEL2_EVENT_TOMBSTONE;
    event->rtflags = qEL2_EVENT_RT_LINK;
    event->pOrganizer = Organizer(true);
    EXPECT_EQ(Dump(event), G("event-full", Join(kFullSummaryAndStart,
                         "           dtEnd = 1137448800  (20060116T220000Z) [16-Jan-06 10:00PM GMT]  (isDate = 0)\n",
                         kFullUidToSequence,
                         "        Priority = 5\n"
                         "          Status = 2\n",
                         kFullTombstoneToOrganizer,
                         "                  organizer common name = Olga\n"
                         "                  organizer dir param   = ldap://dir/olga\n"
                         "                  organizer sent by     = mailto:s@example.com\n"
                         "                  organizer lang        = de\n"
                         "   rtflags.bLink = 1\n",
                         kFullRelatedToAlarms)));
    qel2_FreeEvent(&event);
}

TEST(ToDoDump, EveryFieldSet) {
    qEL2_VTODO* todo = qel2_NewToDo();
    FillShared(todo);
    todo->dtDue = 1137488400;
    todo->dtCompleted = 1137448800;
    todo->flags = 9 | qEL2_TODO_START_IS_DATE | qEL2_TODO_DUE_IS_DATE | (3u << 6) | qEL2_TODO_TOMBSTONE |
                  qEL2_TODO_LINK;
    todo->pOrganizer = Organizer(false);
    EXPECT_EQ(Dump(todo), G("todo-full", Join(kFullSummaryAndStart,
                         "           dtDue = 1137488400  (20060117T090000Z) [17-Jan-06 09:00AM GMT]  (isDate = 1)\n"
                         "     dtCompleted = 1137448800  (20060116T220000Z) [16-Jan-06 10:00PM GMT]\n",
                         kFullUidToSequence,
                         "        Priority = 9\n"
                         "          Status = 3\n",
                         kFullTombstoneToOrganizer,
                         "                  organizer common name = <not present>\n"
                         "                  organizer dir param   = <not present>\n"
                         "                  organizer sent by     = <not present>\n"
                         "                  organizer lang        = <not present>\n"
                         "     flags.bLink = 1\n"
                         "            Link = cal-b\n",
                         kFullRelatedToAlarms)));
    qel2_FreeToDo(&todo);
}

TEST(EventDump, EveryFieldAbsent) {
    qEL2_VEVENT* event = qel2_NewEvent();
    EXPECT_EQ(Dump(event), G("event-empty", Join("        pSummary = <not specified>\n"
                         "         dtStart = 0    (isDate = 0)\n"
                         "           dtEnd = 0    (isDate = 0)\n",
                         kEmptyUidToPriority,
                         "          Status = 0\n",
                         kEmptyTombstoneToOrganizer,
                         "   rtflags.bLink = 0\n",
                         kEmptyRelatedToAlarms)));
    qel2_FreeEvent(&event);
}

TEST(ToDoDump, EveryFieldAbsent) {
    qEL2_VTODO* todo = qel2_NewToDo();
    EXPECT_EQ(Dump(todo), G("todo-empty", Join("        pSummary = <not specified>\n"
                         "         dtStart = 0    (isDate = 0)\n"
                         "           dtDue = 0    (isDate = 0)\n"
                         "     dtCompleted = 0  \n",
                         kEmptyUidToPriority,
                         "          Status = 3\n",
                         kEmptyTombstoneToOrganizer,
                         "     flags.bLink = 0\n"
                         "            Link = <not a link>\n",
                         kEmptyRelatedToAlarms)));
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
