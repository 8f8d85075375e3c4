// Deterministic large stores.

#include "store_generator.h"

#include <algorithm>
#include <random>
#include <string_view>
#include <vector>

#include <qel2/key_order.h>

#include "owned_records.h"
#include "record_encoder.h"
#include "record_keys.h"
#include "store_writer.h"

namespace qel2::mkstore {

namespace {

constexpr uint32_t kTwoYears = 2 * 365 * 86400;
constexpr uint32_t kWeek = 7 * 86400;

constexpr std::string_view kWords[] = {
    "project", "review",   "weekly", "budget",    "design",    "planning",  "customer",
    "release", "team",     "status", "meeting",   "quarterly", "lunch",     "training",
    "storage", "calendar", "server", "migration", "notes",     "follow-up", "room",
    "agenda",  "offsite",  "report", "kick-off",  "retro",     "sync"};

// mt19937_64 is fully specified, and Below() avoids the standard
// distributions, whose results differ between library versions: the same
// seed gives the same store everywhere.
class Random {
public:
    explicit Random(uint64_t seed) : engine_(seed) {}
    uint32_t Below(uint32_t bound) { return static_cast<uint32_t>(engine_() % bound); }
    bool Percent(uint32_t percent) { return Below(100) < percent; }
    std::string Words(uint32_t least, uint32_t most) {
        std::string text;
        for (uint32_t n = least + Below(most - least + 1); n > 0; --n) {
            if (!text.empty()) text += ' ';
            text += kWords[Below(std::size(kWords))];
        }
        return text;
    }

private:
    std::mt19937_64 engine_;
};

std::string CalendarId(uint32_t index) { return "user" + std::to_string(index); }
std::string Mailto(const std::string& user) { return "mailto:" + user + "@example.com"; }

struct StoredInstance {
    EventKey key;
    Bytes value;
};

struct StoredAlarm {
    AlarmKey key;
    Bytes value;
};

bool EventKeyLess(const StoredInstance& a, const StoredInstance& b) {
    DBT x{}, y{};
    x.data = const_cast<unsigned char*>(a.key.data());
    y.data = const_cast<unsigned char*>(b.key.data());
    return EventKeyCompare(nullptr, &x, &y) < 0;
}

bool AlarmKeyLess(const StoredAlarm& a, const StoredAlarm& b) {
    DBT x{}, y{};
    x.data = const_cast<unsigned char*>(a.key.data());
    y.data = const_cast<unsigned char*>(b.key.data());
    return AlarmKeyCompare(nullptr, &x, &y) < 0;
}

class Generator {
public:
    Generator(const GenerateOptions& options, StoreWriter& writer)
        : options_(options), writer_(writer), random_(options.seed) {}

    GenerateSummary Run() {
        // Calendars in key order, and each calendar's records sorted before
        // they are written: appending in key order keeps the B-tree writes
        // sequential.
        std::vector<std::pair<CalPropsKey, uint32_t>> order;
        for (uint32_t i = 0; i < options_.calendars; ++i)
            order.emplace_back(MakeCalPropsKey(CalendarId(i)), i);
        std::sort(order.begin(), order.end());
        for (const auto& [key, index] : order) WriteCalendar(key, index);
        std::sort(alarms_.begin(), alarms_.end(), AlarmKeyLess);
        for (const StoredAlarm& alarm : alarms_)
            writer_.Put(Database::Alarms, alarm.key.data(), alarm.key.size(), alarm.value,
                        "an alarm record");
        summary_.alarmRecords = alarms_.size();
        return summary_;
    }

private:
    void WriteCalendar(const CalPropsKey& key, uint32_t index) {
        const std::string id = CalendarId(index);
        Bytes value = EncodeCalProps(*MakeCalendar(index));
        writer_.Put(Database::CalProps, key.data(), key.size(), value, "calendar " + id);
        Count(summary_.calendars, value);

        std::vector<StoredInstance> events;
        for (uint32_t r = 0; r < options_.eventsPerCalendar; ++r) AddEvents(index, r, events);
        WriteSorted(Database::Events, events, summary_.events);

        std::vector<StoredInstance> todos;
        for (uint32_t r = 0; r < options_.todosPerCalendar; ++r) {
            qel2::ToDoPtr todo = MakeToDo(index, r);
            todos.push_back({MakeEventKey(id, todo->pUID, 0), EncodeToDo(*todo)});
        }
        WriteSorted(Database::ToDos, todos, summary_.todos);
    }

    void WriteSorted(Database database, std::vector<StoredInstance>& records, uint64_t& counter) {
        std::sort(records.begin(), records.end(), EventKeyLess);
        for (const StoredInstance& record : records) {
            writer_.Put(database, record.key.data(), record.key.size(), record.value,
                        "a generated record");
            Count(counter, record.value);
        }
    }

    void Count(uint64_t& counter, const Bytes& value) {
        ++counter;
        summary_.valueBytes += value.size();
    }

    qel2::CalPropsPtr MakeCalendar(uint32_t index) {
        qel2::CalPropsPtr cal = NewCalProps();
        const std::string id = CalendarId(index);
        cal->dtCreated = options_.firstStart - random_.Below(kTwoYears);
        cal->dtModified = cal->dtCreated + random_.Below(kTwoYears);
        cal->accessFlags = random_.Below(5) | random_.Below(5) << 4;
        SetString(cal->pDescription,
                  "Calendar of user " + std::to_string(index) + ": " + random_.Words(3, 12));
        SetString(cal->pRelativeCalID, id);
        SetString(cal->pCalMaster, "cal1.example.com");
        SetString(cal->pName, "User " + std::to_string(index));
        SetString(cal->pCharSet, "UTF-8");
        SetString(cal->pLanguage, "en");
        SetString(cal->pPrimaryOwner, id);
        if (random_.Percent(30))
            AppendStrings(cal->pOtherOwners, {CalendarId(random_.Below(options_.calendars))});
        if (random_.Percent(60))
            AppendStrings(cal->pCategoryList, {"work", kWords[random_.Below(std::size(kWords))]});
        return cal;
    }

    // One index adds one record; a recurring master adds its two instances
    // as well, which take the next two indices.
    void AddEvents(uint32_t calendar, uint32_t& r, std::vector<StoredInstance>& out) {
        const std::string id = CalendarId(calendar);
        const std::string uid = id + "-evt-" + std::to_string(r);
        if (r % 20 == 7 && options_.calendars > 1) {
            const uint32_t target = (calendar + 1) % options_.calendars;
            const std::string targetUid = CalendarId(target) + "-evt-" + std::to_string(r - 7);
            qel2::EventPtr link = NewEvent();
            link->dtCreated = link->dtModified = options_.firstStart + random_.Below(kTwoYears);
            SetString(link->pUID, targetUid);
            SetString(link->pURL, CalendarId(target));
            out.push_back({MakeEventKey(id, targetUid, 0), EncodeEvent(*link)});
            return;
        }
        qel2::EventPtr event = NewEvent();
        FillEvent(*event, uid);
        if (r % 50 == 13) event->flags |= qEL2_EVENT_TOMBSTONE;
        const bool recurring = r % 10 == 4 && r + 2 < options_.eventsPerCalendar;
        if (recurring) AppendStrings(event->pRRules, {"FREQ=WEEKLY;COUNT=10"});
        AddAlarms(id, *event, 0);
        out.push_back({MakeEventKey(id, uid, 0), EncodeEvent(*event)});
        if (!recurring) return;
        const uint32_t duration = event->dtEnd - event->dtStart;
        for (uint32_t week = 1; week <= 2; ++week) {
            const uint32_t recurrenceId = event->dtStart + week * kWeek;
            qel2::EventPtr instance = NewEvent();
            FillEvent(*instance, uid);
            // The second instance was moved by an hour; its recurrence id
            // keeps the original start.
            instance->dtStart = recurrenceId + (week == 2 ? 3600 : 0);
            instance->dtEnd = instance->dtStart + duration;
            AddAlarms(id, *instance, recurrenceId);
            out.push_back({MakeEventKey(id, uid, recurrenceId), EncodeEvent(*instance)});
        }
        r += 2;
    }

    void FillEvent(qEL2_VEVENT& event, const std::string& uid) {
        event.dtStart = options_.firstStart + random_.Below(kTwoYears / 900) * 900;
        event.dtEnd = event.dtStart + (1 + random_.Below(8)) * 900;
        event.dtCreated = event.dtStart - random_.Below(30 * 86400);
        event.dtModified = event.dtCreated + random_.Below(86400);
        event.iSequence = random_.Below(4);
        event.flags = random_.Below(10) | (1 + random_.Below(3)) << qEL2_EVENT_STATUS_SHIFT;
        if (random_.Percent(10)) {
            event.lGeoLat = static_cast<int32_t>(random_.Below(180000000)) - 90000000;
            event.lGeoLon = static_cast<int32_t>(random_.Below(360000000)) - 180000000;
        }
        FillShared(event, uid);
        if (random_.Percent(5)) AppendStrings(event.pEXDates, {"20060123T140000Z"});
        if (random_.Percent(10))
            AppendStrings(event.pXProps, {"X-ROOM:" + std::to_string(random_.Below(500))});
    }

    qel2::ToDoPtr MakeToDo(uint32_t calendar, uint32_t r) {
        const std::string id = CalendarId(calendar);
        qel2::ToDoPtr todo = NewToDo();
        if (r % 20 == 7 && options_.calendars > 1) {
            const uint32_t target = (calendar + 1) % options_.calendars;
            todo->dtCreated = todo->dtModified = options_.firstStart + random_.Below(kTwoYears);
            todo->flags |= qEL2_TODO_LINK;
            SetString(todo->pUID, CalendarId(target) + "-todo-" + std::to_string(r - 7));
            SetString(todo->pURL, CalendarId(target));
            return todo;
        }
        todo->dtStart = options_.firstStart + random_.Below(kTwoYears / 86400) * 86400;
        todo->dtDue = todo->dtStart + (1 + random_.Below(14)) * 86400;
        todo->dtCreated = todo->dtStart - random_.Below(86400);
        todo->dtModified = todo->dtCreated + random_.Below(86400);
        if (r % 5 == 0) todo->dtCompleted = todo->dtDue - random_.Below(86400);
        todo->flags = random_.Below(10) | (random_.Below(4) << qEL2_TODO_STATUS_SHIFT);
        if (r % 50 == 13) todo->flags |= qEL2_TODO_TOMBSTONE;
        FillShared(*todo, id + "-todo-" + std::to_string(r));
        AddAlarms(id, *todo, 0);
        return todo;
    }

    template <typename Record>
    void FillShared(Record& record, const std::string& uid) {
        SetString(record.pUID, uid);
        SetString(record.pSummary, random_.Words(2, 8));
        if (random_.Percent(60)) SetString(record.pDescription, random_.Words(5, 60));
        if (random_.Percent(40))
            SetString(record.pLocation, "Room " + std::to_string(100 + random_.Below(400)));
        SetString(record.pClass, random_.Percent(80) ? "PUBLIC" : "PRIVATE");
        SetString(record.pCharset, "UTF-8");
        SetString(record.pLanguage, "en");
        if (random_.Percent(30))
            AppendStrings(record.pCategories, {"work", kWords[random_.Below(std::size(kWords))]});
        if (!random_.Percent(70)) return;
        const std::string organizer = CalendarId(random_.Below(options_.calendars));
        SetString(record.pOrganizerEmail, organizer + "@example.com");
        qel2::OrganizerPtr org = NewOrganizer();
        SetString(org->pCalAddress, Mailto(organizer));
        SetString(org->pCN, "User " + organizer.substr(4));
        record.pOrganizer = org.release();
        for (uint32_t n = random_.Below(5); n > 0; --n)
            AppendRecord(record.pAttendees, MakeAttendee());
    }

    qel2::AttendeePtr MakeAttendee() {
        static constexpr const char* kPartStats[] = {"NEEDS-ACTION", "ACCEPTED", "DECLINED",
                                                     "TENTATIVE"};
        const std::string user = CalendarId(random_.Below(options_.calendars));
        qel2::AttendeePtr attendee = NewAttendee();
        SetString(attendee->pCalAddress, Mailto(user));
        SetString(attendee->pCUType, "INDIVIDUAL");
        SetString(attendee->pRole, random_.Percent(80) ? "REQ-PARTICIPANT" : "OPT-PARTICIPANT");
        SetString(attendee->pPartStat, kPartStats[random_.Below(std::size(kPartStats))]);
        SetString(attendee->pCN, "User " + user.substr(4));
        attendee->bRSVP = random_.Percent(50) ? 1 : 0;
        if (random_.Percent(20)) AppendStrings(attendee->pMember, {"mailto:team@example.com"});
        return attendee;
    }

    // About one record in five has an alarm, one in twenty a second one;
    // each also gets its record in alarms.db.
    template <typename Record>
    void AddAlarms(const std::string& calendar, Record& record, uint32_t recurrenceId) {
        uint32_t count = random_.Percent(20) ? (random_.Percent(25) ? 2 : 1) : 0;
        for (uint32_t n = 0; n < count; ++n) {
            qel2::AlarmPtr alarm = NewAlarm();
            alarm->lAlarmWord2 = n == 0 ? 900 : 86400;
            alarm->lAlarmWord1 = record.dtStart - alarm->lAlarmWord2;
            alarm->iAction = random_.Below(2);
            alarm->iRepeat = random_.Below(3);
            alarm->lAlarmWord5 = alarm->iRepeat != 0 ? 300 : 0;
            SetString(alarm->pAlarmText1, std::string("Reminder: ") + record.pSummary);
            if (alarm->iAction == 0)
                AppendStrings(alarm->pAlarmList1, {record.pOrganizerEmail ? record.pOrganizerEmail
                                                                          : "nobody@example.com"});
            const std::string name = calendar + "/" + record.pUID;
            const std::string text = calendar + " " + record.pUID;
            Bytes value(text.begin(), text.end());
            value.push_back(0);
            alarms_.push_back(
                {MakeAlarmKey(alarm->lAlarmWord1, Md5(name), recurrenceId + n), std::move(value)});
            AppendRecord(record.pAlarms, std::move(alarm));
        }
    }

    const GenerateOptions& options_;
    StoreWriter& writer_;
    Random random_;
    std::vector<StoredAlarm> alarms_;
    GenerateSummary summary_;
};

}  // namespace

GenerateSummary GenerateStore(const GenerateOptions& options, const std::string& directory) {
    StoreOptions storeOptions;
    storeOptions.putsPerTransaction = 5000;
    storeOptions.cacheMegabytes = 64;
    storeOptions.removeOldLogs = true;
    StoreWriter writer(directory, storeOptions);
    GenerateSummary summary = Generator(options, writer).Run();
    writer.Finish();
    return summary;
}

}  // namespace qel2::mkstore
