// export: each calendar's .ics file, read back by libical and by
// python3-icalendar, holds exactly the events and to-dos the library reads,
// with their uids, recurrence ids, start times and attendees.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include <libical/ical.h>
#include <nlohmann/json.hpp>

#include <qel2/qel2.h>

#include "cli_run.h"
#include "cli_stores.h"
#include "store_generator.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using qel2clitest::CliRun;
using qel2clitest::RunCli;

struct Component {
    std::string kind, uid, recurrenceId, start;
    std::vector<std::string> attendees;
    auto operator<=>(const Component&) const = default;
    friend void PrintTo(const Component& c, std::ostream* out) { *out << c.kind << " " << c.uid << "@" << c.recurrenceId; }
};
// Calendar id -> its components, sorted.
using Calendars = std::map<std::string, std::vector<Component>>;

void SortAll(Calendars& calendars) {
    for (auto& [id, components] : calendars) std::sort(components.begin(), components.end());
}

// iCalendar's basic form: 20060116T090000Z, or 20060116 for a date.
std::string IcsTime(uint32_t time, bool isDate) {
    if (time == 0) return "";
    char text[32];
    cal_strgmtime(text, sizeof text, isDate ? "%Y%m%d" : "%Y%m%dT%H%M%SZ", time);
    return text;
}

template <typename Item>
Component FromRecord(const char* kind, const Item& item, bool startIsDate) {
    Component component{kind, item.pUID, IcsTime(item.RecurrenceID, startIsDate), IcsTime(item.dtStart, startIsDate),
                        {}};
    if (item.pAttendees != nullptr)
        for (uint32_t i = 0; i < item.pAttendees->count; ++i)
            component.attendees.push_back(static_cast<qEL2_ATTENDEE*>(item.pAttendees->elements[i])->pCalAddress);
    std::sort(component.attendees.begin(), component.attendees.end());
    return component;
}

// What the library reads, as export reads it: no window, no tombstones.
Calendars ReadWithLibrary(const fs::path& store) {
    EXPECT_EQ(qel2_pvt_OpenDB(0, 0, store.c_str()), 0);
    Calendars calendars;
    array_t* list = nullptr;
    EXPECT_EQ(qel2_pvt_SearchCalProps(nullptr, 0, 0, 0, &list), 0);
    for (uint32_t c = 0; list != nullptr && c < list->count; ++c) {
        auto* calendar = static_cast<qEL2_CALPROPS*>(list->elements[c]);
        std::vector<Component>& components = calendars[calendar->pRelativeCalID];
        array_t *events = nullptr, *todos = nullptr;
        EXPECT_EQ(qel2_pvt_ReadEventListByRange(calendar, 0, 0, 0, &events), 0);
        EXPECT_EQ(qel2_pvt_ReadToDoListByRange(calendar, 0, 0, 0, &todos), 0);
        for (uint32_t i = 0; i < events->count; ++i) {
            auto* event = static_cast<qEL2_VEVENT*>(events->elements[i]);
            components.push_back(FromRecord("VEVENT", *event, qel2_EventStartIsDate(event->flags)));
        }
        for (uint32_t i = 0; i < todos->count; ++i) {
            auto* todo = static_cast<qEL2_VTODO*>(todos->elements[i]);
            components.push_back(FromRecord("VTODO", *todo, qel2_ToDoStartIsDate(todo->flags)));
        }
        qel2_FreeEventList(&events);
        qel2_FreeToDoList(&todos);
    }
    qel2_FreeCalPropsList(&list);
    qel2_pvt_CloseDB();
    SortAll(calendars);
    return calendars;
}

std::string TimeProperty(icalcomponent* component, icalproperty_kind kind) {
    icalproperty* property = icalcomponent_get_first_property(component, kind);
    if (property == nullptr) return "";
    return icaltime_as_ical_string(icalvalue_get_datetime(icalproperty_get_value(property)));
}

Calendars ReadWithLibical(const std::vector<fs::path>& files) {
    Calendars calendars;
    for (const fs::path& file : files) {
        icalcomponent* calendar = icalparser_parse_string(qel2clitest::ReadFile(file).c_str());
        EXPECT_NE(calendar, nullptr) << file;
        if (calendar == nullptr) continue;
        std::string id;
        for (icalproperty* p = icalcomponent_get_first_property(calendar, ICAL_X_PROPERTY); p != nullptr;
             p = icalcomponent_get_next_property(calendar, ICAL_X_PROPERTY))
            if (std::string(icalproperty_get_x_name(p)) == "X-QEL2-CALID") id = icalproperty_get_x(p);
        std::vector<Component>& components = calendars[id];
        for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT); c != nullptr;
             c = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
            Component component{icalcomponent_kind_to_string(icalcomponent_isa(c)), icalcomponent_get_uid(c),
                                TimeProperty(c, ICAL_RECURRENCEID_PROPERTY), TimeProperty(c, ICAL_DTSTART_PROPERTY),
                                {}};
            for (icalproperty* a = icalcomponent_get_first_property(c, ICAL_ATTENDEE_PROPERTY); a != nullptr;
                 a = icalcomponent_get_next_property(c, ICAL_ATTENDEE_PROPERTY))
                component.attendees.push_back(icalproperty_get_attendee(a));
            std::sort(component.attendees.begin(), component.attendees.end());
            components.push_back(component);
        }
        icalcomponent_free(calendar);
    }
    SortAll(calendars);
    return calendars;
}

Calendars ReadWithPython(const std::vector<fs::path>& files) {
    std::vector<std::string> arguments = {QEL2_ICS_SUMMARY_SCRIPT};
    for (const fs::path& file : files) arguments.push_back(file.string());
    CliRun run = qel2clitest::RunProgram("/usr/bin/python3", arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    Calendars calendars;
    nlohmann::json parsed = nlohmann::json::parse(run.out);
    for (const auto& [id, items] : parsed.items()) {
        std::vector<Component>& components = calendars[id];  // empty calendars too
        for (const nlohmann::json& item : items)
            components.push_back(Component{item["kind"], item["uid"], item["recurrence_id"], item["start"],
                                              item["attendees"].get<std::vector<std::string>>()});
    }
    SortAll(calendars);
    return calendars;
}

TEST(CliExport, BothParsersReadWhatTheLibraryReads) {
    // Every time of this one is past 2038-01-19, where a 32-bit time_t wraps.
    qel2test::TempDir late;
    qel2mk::GenerateOptions options;
    options.calendars = 2;
    options.eventsPerCalendar = 20;
    options.todosPerCalendar = 4;
    options.firstStart = 2200000000u;  // 2039-09-19
    qel2mk::GenerateStore(options, late.str());
    for (const fs::path& store : {qel2clitest::Stores().legacy, qel2clitest::Stores().generated, late.path()}) {
        qel2test::TempDir out;
        CliRun run = RunCli({"export", store.string(), out.str()});
        ASSERT_EQ(run.status, 0) << run.err;
        std::vector<fs::path> files;
        for (const fs::directory_entry& entry : fs::directory_iterator(out.path())) files.push_back(entry.path());

        Calendars library = ReadWithLibrary(store);
        ASSERT_EQ(files.size(), library.size()) << store;
        EXPECT_EQ(ReadWithLibical(files), library) << store;
        EXPECT_EQ(ReadWithPython(files), library) << store;
    }
}

TEST(CliExport, TombstonesOnlyWhenAskedFor) {
    qel2test::TempDir out;
    std::string store = qel2clitest::Stores().legacy.string();
    ASSERT_EQ(RunCli({"export", store, (out.path() / "plain").string()}).status, 0);
    ASSERT_EQ(RunCli({"export", store, (out.path() / "all").string(), "--tombstones"}).status, 0);
    std::string plain = qel2clitest::ReadFile(out.path() / "plain" / "jdoe.ics");
    std::string all = qel2clitest::ReadFile(out.path() / "all" / "jdoe.ics");
    EXPECT_EQ(plain.find("UID:evt-cancelled"), std::string::npos);
    EXPECT_NE(all.find("UID:evt-cancelled"), std::string::npos);
    EXPECT_NE(all.find("X-QEL2-TOMBSTONE:1"), std::string::npos);
    // Kept as X- properties rather than dropped: the unnamed event flag bit
    // and the stored x-property.
    EXPECT_NE(plain.find("X-QEL2-FLAGS:0x4000"), std::string::npos);
    EXPECT_NE(plain.find("X-ROOM:101"), std::string::npos);
    EXPECT_TRUE(fs::exists(out.path() / "plain" / "jdoe%3Atasks.ics"));
}

}  // namespace
