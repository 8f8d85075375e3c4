#include "mapping_fixtures.h"

#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace qel2test {

namespace {

qEL2_ATTENDEE* Attendee(const char* address) {
    qEL2_ATTENDEE* a = qel2_NewAttendee();
    a->pCalAddress = strdup(address);
    a->pCUType = strdup("INDIVIDUAL");
    a->pMember = StringList({"team", ""});
    a->pPartStat = strdup("ACCEPTED");
    a->pExtraParam = strdup("X-PARAM=1");
    return a;
}

qEL2_VALARM* Alarm() {
    qEL2_VALARM* alarm = qel2_NewAlarm();
    alarm->lAlarmWord1 = 1136450700;
    alarm->iRepeat = 2;
    alarm->pAlarmText2 = strdup("Subject");
    alarm->pAlarmList1 = StringList({"mailto:me@example.com"});
    alarm->lAlarmHost2 = 12;
    return alarm;
}

template <typename Item>
void FillItem(Item* item) {
    item->dtStart = 1136450700;
    item->dtCreated = 1136000000;
    item->iSequence = 4;
    item->lGeoLat = -33865143;
    item->RecurrenceID = 1136450700;
    for (auto [field, text] : {std::pair{&item->pSummary, "Planning"}, {&item->pUID, "uid-1"},
                               {&item->pLocation, "Room 4"}, {&item->pClass, "PUBLIC"},
                               {&item->pOrganizerEmail, "mailto:boss@example.com"},
                               {&item->pExtra2, "x2"}, {&item->pLinkedCalID, "other-cal"}}) {
        *field = strdup(text);
    }
    item->pOrganizer = qel2_NewOrganizer();
    item->pOrganizer->pCalAddress = strdup("mailto:boss@example.com");
    item->pOrganizer->pCN = strdup("Boss");
    item->pAttendees = array_new();
    for (const char* who : {"mailto:a@example.com", "mailto:b@example.com", "mailto:c@example.com"}) {
        array_append(item->pAttendees, Attendee(who));
    }
    item->pAlarms = array_new();
    array_append(item->pAlarms, Alarm());
    item->pRRules = StringList({"FREQ=WEEKLY", "COUNT=3"});
    item->pXProps = StringList({"X-A:1"});
}

void Put(std::ostream& out, const char* text) { out << (text ? text : "(null)") << '|'; }

void Put(std::ostream& out, const array_t* list) {
    if (list == nullptr) out << "(no list)";
    for (uint32_t i = 0; list != nullptr && i < list->count; ++i) Put(out, strarray_elementat(list, i));
    out << '\n';
}

// Sub-records in brief: enough to see them survive the source's release.
void Put(std::ostream& out, const CALDB_ATTENDEE& a) {
    Put(out, a.cal_address);
    Put(out, a.partstat);
    Put(out, a.member);
}

void Put(std::ostream& out, const CALDB_ALARM& a) {
    out << a.alarm_word1 << ' ' << a.repeat << ' ' << a.alarm_kind << ' ' << a.alarm_host2 << '\n';
    Put(out, a.alarm_text2);
    Put(out, a.alarm_list1);
}

template <typename Record>
void PutRecords(std::ostream& out, const array_t* list) {
    out << "records:" << (list ? list->count : 0) << '\n';
    for (uint32_t i = 0; list != nullptr && i < list->count; ++i) {
        Put(out, *static_cast<const Record*>(array_elementat(list, i)));
    }
}

template <typename Item>
std::ostringstream DescribeCommon(const Item& t) {
    std::ostringstream out;
    out << t.flags << ' ' << t.version << ' ' << t.dtstart << ' ' << t.sequence << ' ' << t.extra
        << ' ' << t.created << ' ' << t.recurrence_id << ' ' << t.cleared_word << ' ' << t.geo_lat
        << ' ' << t.geo_lon << ' ' << t.host_data << ' ' << t.private_data << '\n';
    for (const char* text : {t.summary, t.uid, t.description, t.location, t.url, t.class_,
                             t.organizer_email, t.charset, t.language, t.extra1, t.extra2, t.linked_calid}) {
        Put(out, text);
    }
    if (const CALDB_ORGANIZER* o = t.organizer) {
        for (const char* text : {o->cal_address, o->id_a, o->id_b, o->sent_by, o->language, o->cn, o->dir}) {
            Put(out, text);
        }
    }
    PutRecords<CALDB_ATTENDEE>(out, t.attendees);
    PutRecords<CALDB_ALARM>(out, t.alarms);
    for (const array_t* list : {t.rdates, t.exdates, t.rrules, t.exrules, t.related_to, t.extra_list1,
                                t.extra_list2, t.extra_list3, t.categories, t.attachments, t.xprops}) {
        Put(out, list);
    }
    return out;
}

}  // namespace

array_t* StringList(std::initializer_list<const char*> texts) {
    array_t* list = array_new();
    for (const char* text : texts) strarray_append(list, text);
    return list;
}

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
    return todo;
}

std::string Describe(const CALDB_EVENT& event) {
    std::ostringstream out = DescribeCommon(event);
    out << event.dtend;
    return out.str();
}

std::string Describe(const CALDB_TODO& todo) {
    std::ostringstream out = DescribeCommon(todo);
    out << todo.due << ' ' << todo.completed << ' ' << todo.extra_word2;
    return out.str();
}

PrOutput::PrOutput() : path_(dir_.str() + "/out.txt") {
    fd_ = PR_Open(path_.c_str(), PR_WRONLY | PR_CREATE_FILE | PR_TRUNCATE, 0600);
    if (fd_ == nullptr) throw std::runtime_error("PR_Open failed");
}

PrOutput::~PrOutput() { PR_Close(fd_); }

// PR_fprintf writes straight through to the file, so it can be read while
// the descriptor is still open.
std::string PrOutput::text() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace qel2test
