#include "library_records.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <qel2/qel2.h>

#include "cli_run.h"
#include "value_text.h"

namespace qel2::test::cli {

namespace {

using nlohmann::json;

std::string Text(const char* text) { return text ? text : ""; }

// iCalendar's basic form: 20060116T090000Z, or 20060116 for a date; "" for 0.
std::string IcsTime(uint32_t time, bool isDate) {
    if (time == 0) return "";
    char text[32];
    cal_strgmtime(text, sizeof text, isDate ? "%Y%m%d" : "%Y%m%dT%H%M%SZ", time);
    return text;
}

json Sorted(const array_t* list, std::string (*text)(void*)) {
    std::vector<std::string> texts;
    for (uint32_t i = 0; list != nullptr && i < list->count; ++i)
        texts.push_back(text(list->elements[i]));
    std::sort(texts.begin(), texts.end());
    return texts;
}

template <typename Record>
json Item(const char* kind, const Record& record, bool startIsDate, uint32_t end, bool endIsDate,
          const char* status) {
    return {{"kind", kind},
            {"uid", Text(record.pUID)},
            {"recurrence_id", IcsTime(record.RecurrenceID, startIsDate)},
            {"start", IcsTime(record.dtStart, startIsDate)},
            {"end", IcsTime(end, endIsDate)},
            {"summary", Text(record.pSummary)},
            {"description", Text(record.pDescription)},
            {"location", Text(record.pLocation)},
            {"status", Text(status)},
            {"attendees",
             Sorted(record.pAttendees,
                    [](void* a) { return Text(static_cast<qEL2_ATTENDEE*>(a)->pCalAddress); })},
            {"categories",
             Sorted(record.pCategories, [](void* c) { return Text(static_cast<char*>(c)); })},
            {"alarms", Sorted(record.pAlarms, [](void* a) {
                 static const char* const kActions[] = {"EMAIL", "DISPLAY", "AUDIO", "PROCEDURE"};
                 uint32_t action = static_cast<qEL2_VALARM*>(a)->iAction;
                 return std::string(action < 4 ? kActions[action] : "");
             })}};
}

}  // namespace

Calendars ReadWithLibrary(const std::filesystem::path& store) {
    Calendars calendars;
    EXPECT_EQ(qel2_pvt_OpenDB(0, 0, store.c_str()), 0);
    array_t* list = nullptr;
    EXPECT_EQ(qel2_pvt_SearchCalProps(nullptr, 0, 0, 0, &list), 0);
    for (uint32_t c = 0; list != nullptr && c < list->count; ++c) {
        auto* calendar = static_cast<qEL2_CALPROPS*>(list->elements[c]);
        json& items = calendars[calendar->pRelativeCalID] = json::array();
        array_t *events = nullptr, *todos = nullptr;
        EXPECT_EQ(qel2_pvt_ReadEventListByRange(calendar, 0, 0, 0, &events), 0);
        EXPECT_EQ(qel2_pvt_ReadToDoListByRange(calendar, 0, 0, 0, &todos), 0);
        for (uint32_t i = 0; events != nullptr && i < events->count; ++i) {
            const auto& e = *static_cast<qEL2_VEVENT*>(events->elements[i]);
            items.push_back(Item("VEVENT", e, qel2_EventStartIsDate(e.flags), e.dtEnd,
                                 qel2_EventEndIsDate(e.flags),
                                 qel2::cli::EventStatusName(qel2_EventStatus(e.flags))));
        }
        for (uint32_t i = 0; todos != nullptr && i < todos->count; ++i) {
            const auto& t = *static_cast<qEL2_VTODO*>(todos->elements[i]);
            items.push_back(Item("VTODO", t, qel2_ToDoStartIsDate(t.flags), t.dtDue,
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
    const json answer = json::parse(run.out);
    for (const auto& [name, collection] : answer.items()) {
        json& items = readback.items[name] = collection["components"];
        std::sort(items.begin(), items.end());
        readback.resources[name] = collection["resources"];
        for (const json& refusal : collection["invalid"]) readback.invalid.push_back(refusal);
    }
    return readback;
}

}  // namespace qel2::test::cli
