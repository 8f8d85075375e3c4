#include "export_edge_store.h"

#include <span>

#include <nlohmann/json.hpp>

#include "record_fields.h"
#include "store_description.h"

namespace qel2::test::cli {

namespace {

using nlohmann::json;

// Ends the property and starts a component of its own when written raw.
const std::string kHostile = "x\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:injected\x07\x0b;a,b\"c\\^:";

// Sets every string and list field a visitor names to the hostile text.
struct HostileFields {
    json& out;
    void Word(const char*) {}
    void SignedWord(const char*) {}
    void SignedByte(const char*) {}
    void Flags(const char*, std::span<const qel2::mkstore::FlagBit>) {}
    void String(const char* name) { out[name] = std::string(name) + kHostile; }
    void List(const char* name) {
        out[name] = json::array({std::string(name) + kHostile, kHostile});
    }
    void Organizer(const char* name) {
        HostileFields inner{out[name] = json::object()};
        qel2::mkstore::VisitOrganizerFields(inner);
    }
    void Attendees(const char* name) {
        json attendee = json::object();
        HostileFields inner{attendee};
        qel2::mkstore::VisitAttendeeFields(inner);
        out[name] = json::array({attendee});
    }
    void Alarms(const char* name) {
        json alarm = {{"iAction", 0}, {"lAlarmWord1", 1137403800}, {"lAlarmWord2", 600}};
        HostileFields inner{alarm};
        qel2::mkstore::VisitAlarmFields(inner);
        out[name] = json::array({alarm});
    }
};

constexpr uint32_t kStart = 1137405600;  // 2006-01-16T10:00:00Z
constexpr uint32_t kDay = 86400;

json Event(const std::string& calendar, const std::string& uid, json fields, uint32_t rid = 0) {
    json base = {{"pUID", uid},
                 {"pSummary", "case " + uid},
                 {"dtStart", kStart},
                 {"dtEnd", kStart + 3600},
                 {"dtCreated", kStart - kDay},
                 {"dtModified", kStart - kDay}};
    if (!fields.is_null()) base.update(fields);
    return {{"calendar", calendar}, {"uid", uid}, {"recurrence_id", rid}, {"fields", base}};
}

}  // namespace

EdgeStore WriteEdgeStore(const std::filesystem::path& directory) {
    EdgeStore store;
    store.path = directory;
    // 28 Japanese characters: 84 bytes, 252 once escaped for a file name.
    for (int i = 0; i < 7; ++i) store.longCalendarId += "予定表用";
    const std::string cal = "edge";
    json hostileEvent = json::object();
    HostileFields hostile{hostileEvent};
    qel2::mkstore::VisitEventFields(hostile);
    hostileEvent["pCharset"] = "UTF-8";
    hostileEvent["pUID"] = "hostile";
    hostileEvent["dtStart"] = kStart;
    hostileEvent["dtEnd"] = kStart + 3600;

    json hostileCalendar = json::object();
    HostileFields calendarFields{hostileCalendar};
    qel2::mkstore::VisitCalPropsFields(calendarFields);
    hostileCalendar["pRelativeCalID"] = "edge/hostile";
    hostileCalendar["pParentCalID"] = cal;
    hostileCalendar["pCharSet"] = "UTF-8";

    const json alarms = json::array({
        {{"iAction", 1},
         {"lAlarmWord1", kStart - 900},
         {"lAlarmWord2", 900},
         {"pAlarmText1", "in 15 minutes"}},
        {{"iAction", 0}, {"lAlarmWord1", kStart - 60}, {"pAlarmList1", {"jdoe@example.com"}}},
        {{"iAction", 0}, {"lAlarmWord1", kStart - 60}},
        {{"iAction", 3}, {"lAlarmWord1", kStart - 60}, {"pAlarmText1", "/bin/true"}},
        {{"iAction", 7}, {"lAlarmWord1", kStart - 60}, {"iRepeat", 2}, {"lAlarmWord5", 300}},
    });
    json description = {
        {"calendars",
         {{{"id", cal},
           {"fields",
            {{"pName", "Edge\r\ncases"},
             {"pDescription", "every case\x07"},
             {"pPrimaryOwner", "jdoe"},
             {"pOtherOwners", {"asmith"}},
             {"pChildList", {"edge/hostile"}},
             {"accessFlags", 0x1 | (0x3 << 4)}}}},
          {{"id", "edge/hostile"}, {"fields", hostileCalendar}},
          {{"id", "latin"},
           {"fields", {{"pName", "Caf\xe9"}, {"pCharSet", "ISO-8859-1"}, {"accessFlags", 0x200}}}},
          {{"id", store.longCalendarId}, {"fields", {{"pName", "long id"}}}}}},
        {"events",
         {
             {{"calendar", cal}, {"uid", "hostile"}, {"fields", hostileEvent}},
             Event("latin", "latin1",
                   {{"pCharset", "ISO-8859-1"}, {"pSummary", "Caf\xe9 cr\xe8me"}}),
             Event(cal, "bad-utf8", {{"pSummary", "\xff\xfe bad"}}),
             Event(cal, "ranges",
                   {{"iSequence", 3000000000u},
                    {"flags", 12},
                    {"lGeoLat", 95000000},
                    {"pClass", "NOT A NAME"}}),
             Event(cal, "alarms", {{"pAlarms", alarms}, {"pRRules", {"FREQ=DAILY;COUNT=3"}}}),
             Event(cal, "rec",
                   {{"pRRules", {"FREQ=WEEKLY;COUNT=4"}}, {"pExRules", {"FREQ=MONTHLY"}}}),
             Event(cal, "rec",
                   {{"dtStart", kStart + 7 * kDay + 3600},
                    {"dtEnd", kStart + 7 * kDay + 7200},
                    {"pRRules", {"FREQ=DAILY"}},
                    {"pEXDates", {"20060124T100000Z"}}},
                   kStart + 7 * kDay),
             Event(cal, "orphan", {}, kStart + kDay),
             Event(cal, "deleted-master", {{"flags", 1 << 13}}),
             Event(cal, "deleted-master", {}, kStart + 7 * kDay),
             Event(cal, "shared", {}),
             Event(cal, "mixed",
                   {{"dtStart", kStart - 36000},
                    {"dtEnd", kStart + 3600},
                    {"flags", 1 << 4},
                    {"pRRules", {"FREQ=WEEKLY;UNTIL=20060301T100000Z"}},
                    {"pRDates", {"20060120T100000Z"}}}),
             Event(cal, "mixed-timed",
                   {{"pRRules", {"FREQ=DAILY;UNTIL=20060120"}}, {"pEXDates", {"20060117"}}}),
             Event(cal, "backwards", {{"dtEnd", kStart - 3600}}),
             Event(cal, "no-start", {{"dtStart", 0}}),
             Event(cal, "no-time",
                   {{"dtStart", 0},
                    {"dtEnd", 0},
                    {"dtCreated", 0},
                    {"dtModified", 0},
                    {"pURL", nullptr}}),
             Event(cal, "dangling", {{"dtStart", 0}, {"dtEnd", 0}, {"pURL", "no-such-calendar"}}),
             Event(cal, "categories",
                   {{"pCategories", {"a,b", "c;d"}},
                    {"pXProps", {"X-GOOD:kept", "BAD LINE", "X-P;Q=1:v"}}}),
         }},
        {"todos",
         {
             Event(cal, "shared", {}),
             Event(cal, "todo-backwards", {{"dtDue", kStart - kDay}}),
             Event(cal, "todo-rule",
                   {{"dtStart", 0}, {"dtDue", kStart}, {"pRRules", {"FREQ=DAILY"}}}),
         }},
    };
    // A value cut short: the walk passes over it, the report must not.
    json damaged = Event(cal, "damaged", {});
    damaged["truncate_to"] = 50;
    description["events"].push_back(damaged);
    // Events and to-dos take different fields for the end.
    for (json& todo : description["todos"]) todo["fields"].erase("dtEnd");
    qel2::mkstore::WriteStore(qel2::mkstore::PlanStore(description), directory.string());

    store.expected = {
        {"hostile", "changed", "control characters removed"},
        {"bad-utf8", "changed", "U+FFFD"},
        {"ranges", "changed", "SEQUENCE kept as X-QEL2-SEQUENCE"},
        {"ranges", "changed", "PRIORITY kept as X-QEL2-PRIORITY"},
        {"ranges", "changed", "GEO kept as X-QEL2-GEO"},
        {"ranges", "changed", "CLASS kept as X-QEL2-CLASS"},
        {"alarms", "changed", "written as DISPLAY"},
        {"alarms", "changed", "X-QEL2-PROCEDURE"},
        {"alarms", "changed", "X-QEL2-ACTION-7"},
        {"rec", "repaired", "recurrence rules and dates kept as X-QEL2-*"},
        {"rec", "changed", "EXRULE kept as X-QEL2-EXRULE"},
        {"orphan", "repaired", "instance written as an event of its own"},
        {"deleted-master", "repaired", "instance written as an event of its own"},
        {"shared", "repaired", "UID changed to shared-todo"},
        {"mixed", "repaired", "DTEND written as DATE"},
        {"mixed", "repaired", "RDATE written as DATE"},
        {"mixed", "repaired", "UNTIL written as DATE"},
        {"mixed-timed", "repaired", "EXDATE written as DATE-TIME"},
        {"mixed-timed", "repaired", "UNTIL written as DATE-TIME"},
        {"backwards", "repaired", "DTEND left out"},
        {"no-start", "repaired", "DTSTART taken from the stored end"},
        {"no-time", "left out", "event left out"},
        {"dangling", "repaired", "dangling link left out"},
        {"", "left out", "record left out"},  // the damaged value: no UID to read
        {"categories", "changed", "X-QEL2-XPROP"},
        {"todo-backwards", "repaired", "DUE left out"},
        {"todo-rule", "repaired", "recurrence rules and dates kept as X-QEL2-*"},
    };
    return store;
}

}  // namespace qel2::test::cli
