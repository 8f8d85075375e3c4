#include "library_records.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <nlohmann/json.hpp>

#include <qel2/qel2.h>

#include "cli_run.h"
#include "status_names.h"

namespace qel2::test::cli {

namespace {

std::string Text(const char* text) { return text ? text : ""; }

// iCalendar's basic form: 20060116T090000Z, or 20060116 for a date; "" for 0.
std::string IcsTime(uint32_t time, bool isDate) {
    if (time == 0) return "";
    char text[32];
    cal_strgmtime(text, sizeof text, isDate ? "%Y%m%d" : "%Y%m%dT%H%M%SZ", time);
    return text;
}

std::vector<std::string> Sorted(const array_t* list, std::string (*text)(void*)) {
    std::vector<std::string> items;
    for (uint32_t i = 0; list != nullptr && i < list->count; ++i)
        items.push_back(text(list->elements[i]));
    std::sort(items.begin(), items.end());
    return items;
}

template <typename Record>
Item FromRecord(const char* kind, const Record& record, bool startIsDate, uint32_t end,
                bool endIsDate, const char* status) {
    static const char* const kActions[] = {"EMAIL", "DISPLAY", "AUDIO", "PROCEDURE"};
    return Item{kind,
                Text(record.pUID),
                IcsTime(record.RecurrenceID, startIsDate),
                IcsTime(record.dtStart, startIsDate),
                IcsTime(end, endIsDate),
                Text(record.pSummary),
                Text(record.pDescription),
                Text(record.pLocation),
                Text(status),
                Sorted(record.pAttendees,
                       [](void* a) { return Text(static_cast<qEL2_ATTENDEE*>(a)->pCalAddress); }),
                Sorted(record.pCategories, [](void* c) { return Text(static_cast<char*>(c)); }),
                Sorted(record.pAlarms, [](void* a) {
                    uint32_t action = static_cast<qEL2_VALARM*>(a)->iAction;
                    return std::string(action < 4 ? kActions[action] : "");
                })};
}

}  // namespace

Calendars ReadWithLibrary(const std::filesystem::path& store) {
    Calendars calendars;
    EXPECT_EQ(qel2_pvt_OpenDB(0, 0, store.c_str()), 0);
    array_t* list = nullptr;
    EXPECT_EQ(qel2_pvt_SearchCalProps(nullptr, 0, 0, 0, &list), 0);
    for (uint32_t c = 0; list != nullptr && c < list->count; ++c) {
        auto* calendar = static_cast<qEL2_CALPROPS*>(list->elements[c]);
        std::vector<Item>& items = calendars[calendar->pRelativeCalID];
        array_t *events = nullptr, *todos = nullptr;
        EXPECT_EQ(qel2_pvt_ReadEventListByRange(calendar, 0, 0, 0, &events), 0);
        EXPECT_EQ(qel2_pvt_ReadToDoListByRange(calendar, 0, 0, 0, &todos), 0);
        for (uint32_t i = 0; events != nullptr && i < events->count; ++i) {
            const auto& e = *static_cast<qEL2_VEVENT*>(events->elements[i]);
            items.push_back(FromRecord("VEVENT", e, qel2_EventStartIsDate(e.flags), e.dtEnd,
                                       qel2_EventEndIsDate(e.flags),
                                       qel2::cli::EventStatusName(qel2_EventStatus(e.flags))));
        }
        for (uint32_t i = 0; todos != nullptr && i < todos->count; ++i) {
            const auto& t = *static_cast<qEL2_VTODO*>(todos->elements[i]);
            items.push_back(FromRecord("VTODO", t, qel2_ToDoStartIsDate(t.flags), t.dtDue,
                                       qel2_ToDoDueIsDate(t.flags),
                                       qel2::cli::ToDoStatusName(qel2_ToDoStatus(t.flags))));
        }
        std::sort(items.begin(), items.end());
        qel2_FreeEventList(&events);
        qel2_FreeToDoList(&todos);
    }
    qel2_FreeCalPropsList(&list);
    qel2_pvt_CloseDB();
    return calendars;
}

Readback ReadBack(const std::vector<std::string>& arguments) {
    std::vector<std::string> call = {QEL2_CALDAV_READBACK_SCRIPT};
    call.insert(call.end(), arguments.begin(), arguments.end());
    CliRun run = RunProgram("/usr/bin/python3", call);
    EXPECT_EQ(run.status, 0) << run.err;
    Readback readback;
    const nlohmann::json answer = nlohmann::json::parse(run.out);
    for (const auto& [name, collection] : answer.items()) {
        std::vector<Item>& items = readback.items[name];
        readback.resources[name] = collection["resources"];
        for (const nlohmann::json& refusal : collection["invalid"])
            readback.invalid.push_back(refusal);
        for (const nlohmann::json& c : collection["components"])
            items.push_back(Item{c["kind"], c["uid"], c["recurrence_id"], c["start"], c["end"],
                                 c["summary"], c["description"], c["location"], c["status"],
                                 c["attendees"], c["categories"], c["alarms"]});
        std::sort(items.begin(), items.end());
    }
    return readback;
}

}  // namespace qel2::test::cli
