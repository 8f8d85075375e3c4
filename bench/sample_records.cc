// Realistic records for the decoder benchmarks.

#include "sample_records.h"

#include <string>

namespace qel2::bench {

namespace {

using qel2::mkstore::AppendRecord;
using qel2::mkstore::AppendStrings;
using qel2::mkstore::SetString;

qel2::AttendeePtr SampleAttendee(const std::string& user) {
    qel2::AttendeePtr attendee = qel2::mkstore::NewAttendee();
    SetString(attendee->pCalAddress, "mailto:" + user + "@example.com");
    SetString(attendee->pCUType, "INDIVIDUAL");
    SetString(attendee->pRole, "REQ-PARTICIPANT");
    SetString(attendee->pPartStat, "NEEDS-ACTION");
    SetString(attendee->pCN, "User " + user);
    attendee->bRSVP = 1;
    AppendStrings(attendee->pMember, {"mailto:team@example.com", "mailto:eng@example.com"});
    AppendStrings(attendee->pDelegatedFrom, {"mailto:boss@example.com"});
    return attendee;
}

// Everything from the organizer to the lists, alike in events and to-dos.
template <typename Record>
void FillShared(Record& record) {
    SetString(record.pSummary, "Quarterly planning review with the storage team");
    SetString(record.pUID, "20060116T090000Z-4711-jdoe@example.com");
    SetString(
        record.pDescription,
        "Walk through the plan for the next quarter: migration of the calendar store, the new "
        "server release and the budget. Bring your numbers.");
    SetString(record.pLocation, "Room 101, building 4");
    SetString(record.pClass, "PUBLIC");
    SetString(record.pOrganizerEmail, "jdoe@example.com");
    SetString(record.pCharset, "UTF-8");
    SetString(record.pLanguage, "en");
    qel2::OrganizerPtr organizer = qel2::mkstore::NewOrganizer();
    SetString(organizer->pCalAddress, "mailto:jdoe@example.com");
    SetString(organizer->pCN, "John Doe");
    SetString(organizer->pDir, "ldap://ldap.example.com/uid=jdoe");
    record.pOrganizer = organizer.release();
    for (const char* user : {"asmith", "bwong", "cdiaz"})
        AppendRecord(record.pAttendees, SampleAttendee(user));
    for (int i = 0; i < 2; ++i) AppendRecord(record.pAlarms, SampleAlarm(i));
    AppendStrings(record.pRRules, {"FREQ=WEEKLY;BYDAY=MO;COUNT=12"});
    AppendStrings(record.pEXDates, {"20060123T090000Z", "20060130T090000Z", "20060206T090000Z"});
    AppendStrings(record.pCategories, {"work", "planning", "storage"});
    AppendStrings(record.pRelatedTo, {"20060109T090000Z-4700-jdoe@example.com"});
    AppendStrings(record.pXProps, {"X-ROOM:101", "X-PROJECT:migration"});
}

}  // namespace

qel2::AlarmPtr SampleAlarm(int index) {
    qel2::AlarmPtr alarm = qel2::mkstore::NewAlarm();
    alarm->lAlarmWord1 = 1137401100 - index * 86400;
    alarm->lAlarmWord2 = 900;
    alarm->iAction = index;
    alarm->iRepeat = 2;
    alarm->lAlarmWord5 = 300;
    SetString(alarm->pAlarmText1, "Quarterly planning review starts in 15 minutes");
    SetString(alarm->pAlarmText2, "Reminder");
    AppendStrings(alarm->pAlarmList1, {"mailto:jdoe@example.com", "mailto:asmith@example.com"});
    return alarm;
}

qel2::EventPtr SampleEvent() {
    qel2::EventPtr event = qel2::mkstore::NewEvent();
    event->dtStart = 1137402000;
    event->dtEnd = 1137405600;
    event->dtCreated = event->dtModified = 1137230000;
    event->iSequence = 2;
    event->flags = 0x103;
    FillShared(*event);
    return event;
}

qel2::ToDoPtr SampleToDo() {
    qel2::ToDoPtr todo = qel2::mkstore::NewToDo();
    todo->dtStart = 1137369600;
    todo->dtDue = 1137974400;
    todo->dtCreated = todo->dtModified = 1137230000;
    FillShared(*todo);
    return todo;
}

qel2::CalPropsPtr SampleCalendar() {
    qel2::CalPropsPtr cal = qel2::mkstore::NewCalProps();
    cal->dtCreated = 1109671200;
    cal->dtModified = 1136915100;
    cal->accessFlags = 0x21;
    SetString(cal->pDescription, "Work and personal calendar of John Doe");
    SetString(cal->pRelativeCalID, "jdoe");
    SetString(cal->pCalMaster, "cal1.example.com");
    SetString(cal->pName, "John Doe");
    SetString(cal->pCharSet, "UTF-8");
    SetString(cal->pLanguage, "en");
    SetString(cal->pPrimaryOwner, "jdoe");
    AppendStrings(cal->pOtherOwners, {"asmith", "bwong"});
    AppendStrings(cal->pChildList, {"jdoe:tasks"});
    AppendStrings(cal->pCategoryList, {"work", "personal"});
    return cal;
}

}  // namespace qel2::bench
