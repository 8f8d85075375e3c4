#include "mapping_fixtures.h"

#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace qel2test {

namespace {

char* Copy(const char* text) { return strdup(text); }

qEL2_ATTENDEE* Attendee(const char* address) {
    qEL2_ATTENDEE* a = qel2_NewAttendee();
    a->pCalAddress = Copy(address);
    a->pCUType = Copy("INDIVIDUAL");
    a->pMember = StringList({"team", ""});
    a->pDelegatedTo = StringList({"mailto:to@example.com"});
    a->pRole = Copy("REQ-PARTICIPANT");
    a->pPartStat = Copy("ACCEPTED");
    a->pCN = Copy("Someone");
    a->pDir = Copy("ldap://dir/someone");
    a->pSentBy = Copy("mailto:sec@example.com");
    a->pExtraParam = Copy("X-PARAM=1");
    a->bRSVP = 1;
    return a;
}

qEL2_VALARM* Alarm() {
    qEL2_VALARM* alarm = qel2_NewAlarm();
    alarm->lAlarmWord1 = 1136450700;
    alarm->lAlarmWord2 = 7;
    alarm->iAction = 1;
    alarm->iRepeat = 2;
    alarm->lAlarmWord5 = 300;
    alarm->pAlarmText1 = Copy("Reminder");
    alarm->pAlarmText2 = Copy("Subject");
    alarm->pAlarmText3 = Copy("alarm-uid");
    alarm->pAlarmList1 = StringList({"mailto:me@example.com"});
    alarm->lAlarmHost1 = 11;
    alarm->lAlarmHost2 = 12;
    return alarm;
}

template <typename Item>
void FillItem(Item* item) {
    item->dtStart = 1136450700;
    item->dtCreated = 1136000000;
    item->iSequence = 4;
    item->lGeoLat = -33865143;
    item->lGeoLon = 151209900;
    item->RecurrenceID = 1136450700;
    item->pSummary = Copy("Planning");
    item->pUID = Copy("uid-1");
    item->pDescription = Copy("Quarterly planning");
    item->pLocation = Copy("Room 4");
    item->pURL = Copy("http://example.com/p");
    item->pClass = Copy("PUBLIC");
    item->pOrganizerEmail = Copy("mailto:boss@example.com");
    item->pCharset = Copy("UTF-8");
    item->pLanguage = Copy("en");
    item->pExtra1 = Copy("x1");
    item->pExtra2 = Copy("x2");
    item->pLinkedCalID = Copy("other-cal");
    item->pOrganizer = qel2_NewOrganizer();
    item->pOrganizer->pCalAddress = Copy("mailto:boss@example.com");
    item->pOrganizer->pCN = Copy("Boss");
    item->pAttendees = array_new();
    for (const char* who : {"mailto:a@example.com", "mailto:b@example.com", "mailto:c@example.com"}) {
        array_append(item->pAttendees, Attendee(who));
    }
    item->pAlarms = array_new();
    array_append(item->pAlarms, Alarm());
    item->pRDates = StringList({"20060105T090000Z"});
    item->pRRules = StringList({"FREQ=WEEKLY", "COUNT=3"});
    item->pCategories = StringList({"work"});
    item->pXProps = StringList({"X-A:1"});
}

void Line(std::ostream& out, const char* name, const char* text) {
    out << name << '=' << (text ? text : "(null)") << '\n';
}

void Line(std::ostream& out, const char* name, const array_t* list) {
    out << name << '=';
    if (list == nullptr) out << "(null)";
    for (uint32_t i = 0; list != nullptr && i < list->count; ++i) {
        out << '[' << strarray_elementat(list, i) << ']';
    }
    out << '\n';
}

void Describe(std::ostream& out, const CALDB_ATTENDEE& a) {
    Line(out, "cal_address", a.cal_address);
    Line(out, "cutype", a.cutype);
    Line(out, "member", a.member);
    Line(out, "delegated_to", a.delegated_to);
    Line(out, "delegated_from", a.delegated_from);
    Line(out, "role", a.role);
    Line(out, "cn", a.cn);
    Line(out, "dir", a.dir);
    Line(out, "sent_by", a.sent_by);
    Line(out, "extra_param", a.extra_param);
    Line(out, "partstat", a.partstat);
    out << a.cleared1 << a.cleared2 << a.preset_code << a.cleared3 << a.cleared4 << a.cleared5
        << a.cleared6 << a.cleared7 << '\n';
}

void Describe(std::ostream& out, const CALDB_ALARM& a) {
    out << a.alarm_word1 << ' ' << a.alarm_word2 << ' ' << a.action << ' ' << a.repeat << ' '
        << a.alarm_kind << ' ' << a.alarm_host1 << ' ' << a.alarm_host2 << '\n';
    Line(out, "text1", a.alarm_text1);
    Line(out, "text2", a.alarm_text2);
    Line(out, "text3", a.alarm_text3);
    Line(out, "list1", a.alarm_list1);
    Line(out, "list2", a.alarm_list2);
    Line(out, "list3", a.alarm_list3);
}

template <typename Record>
void DescribeRecords(std::ostream& out, const char* name, const array_t* list) {
    out << name << ':' << (list ? list->count : 0) << '\n';
    for (uint32_t i = 0; list != nullptr && i < list->count; ++i) {
        Describe(out, *static_cast<const Record*>(array_elementat(list, i)));
    }
}

template <typename Item>
void DescribeCommon(std::ostream& out, const Item& t) {
    out << t.flags << ' ' << t.version << ' ' << t.dtstart << ' ' << t.sequence << ' ' << t.extra
        << ' ' << t.created << ' ' << t.recurrence_id << ' ' << t.cleared_word << ' '
        << t.geo_lat << ' ' << t.geo_lon << ' ' << t.host_data << ' ' << t.private_data << '\n';
    Line(out, "summary", t.summary);
    Line(out, "uid", t.uid);
    Line(out, "description", t.description);
    Line(out, "location", t.location);
    Line(out, "url", t.url);
    Line(out, "class", t.class_);
    Line(out, "organizer_email", t.organizer_email);
    Line(out, "charset", t.charset);
    Line(out, "language", t.language);
    Line(out, "extra1", t.extra1);
    Line(out, "extra2", t.extra2);
    Line(out, "linked_calid", t.linked_calid);
    if (const CALDB_ORGANIZER* o = t.organizer) {
        for (const char* text : {o->cal_address, o->id_a, o->id_b, o->sent_by, o->language, o->cn, o->dir}) {
            Line(out, "organizer", text);
        }
    }
    DescribeRecords<CALDB_ATTENDEE>(out, "attendees", t.attendees);
    DescribeRecords<CALDB_ALARM>(out, "alarms", t.alarms);
    for (const array_t* list : {t.rdates, t.exdates, t.rrules, t.exrules, t.related_to, t.extra_list1,
                                t.extra_list2, t.extra_list3, t.categories, t.attachments, t.xprops}) {
        Line(out, "list", list);
    }
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
    std::ostringstream out;
    DescribeCommon(out, event);
    out << event.dtend << '\n';
    return out.str();
}

std::string Describe(const CALDB_TODO& todo) {
    std::ostringstream out;
    DescribeCommon(out, todo);
    out << todo.due << ' ' << todo.completed << ' ' << todo.extra_word2 << '\n';
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
