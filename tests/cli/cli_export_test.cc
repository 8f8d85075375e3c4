// export: each calendar's .ics file, read back by libical and by
// python3-icalendar, holds exactly the events and to-dos the library reads,
// with their uids, recurrence ids, start times and attendees; a store of
// every hard case exports to files strict readers and a real CalDAV server
// accept whole, with each repair in the report; existing files and
// symlinks are left alone.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include <libical/ical.h>
#include <nlohmann/json.hpp>

#include <qel2/qel2.h>

#include "cli_run.h"
#include "cli_stores.h"
#include "export_edge_store.h"
#include "library_records.h"
#include "store_generator.h"
#include "support/radicale_server.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using qel2::test::cli::CliRun;
using qel2::test::cli::IcsTime;
using qel2::test::cli::RunCli;

struct Component {
    std::string kind, uid, recurrenceId, start;
    std::vector<std::string> attendees;
    auto operator<=>(const Component&) const = default;
    friend void PrintTo(const Component& c, std::ostream* out) {
        *out << c.kind << " " << c.uid << "@" << c.recurrenceId;
    }
};
// Calendar id -> its components, sorted.
using Calendars = std::map<std::string, std::vector<Component>>;

void SortAll(Calendars& calendars) {
    for (auto& [id, components] : calendars) std::sort(components.begin(), components.end());
}

template <typename Item>
Component FromRecord(const char* kind, const Item& item, bool startIsDate) {
    Component component{kind,
                        item.pUID,
                        IcsTime(item.RecurrenceID, startIsDate),
                        IcsTime(item.dtStart, startIsDate),
                        {}};
    if (item.pAttendees != nullptr)
        for (uint32_t i = 0; i < item.pAttendees->count; ++i)
            component.attendees.push_back(
                static_cast<qEL2_ATTENDEE*>(item.pAttendees->elements[i])->pCalAddress);
    std::sort(component.attendees.begin(), component.attendees.end());
    return component;
}

// What the library reads, as export reads it: no window, no tombstones.
Calendars ReadWithLibrary(const fs::path& store) {
    Calendars calendars;
    qel2::test::cli::ReadStoreWithLibrary(
        store, {[&](const qEL2_CALPROPS& calendar) { calendars[calendar.pRelativeCalID]; },
                [&](const qEL2_CALPROPS& calendar, const qEL2_VEVENT& event) {
                    calendars[calendar.pRelativeCalID].push_back(
                        FromRecord("VEVENT", event, qel2_EventStartIsDate(event.flags)));
                },
                [&](const qEL2_CALPROPS& calendar, const qEL2_VTODO& todo) {
                    calendars[calendar.pRelativeCalID].push_back(
                        FromRecord("VTODO", todo, qel2_ToDoStartIsDate(todo.flags)));
                }});
    SortAll(calendars);
    return calendars;
}

std::string TimeProperty(icalcomponent* component, icalproperty_kind kind) {
    icalproperty* property = icalcomponent_get_first_property(component, kind);
    if (property == nullptr) return "";
    return icaltime_as_ical_string(icalvalue_get_datetime(icalproperty_get_value(property)));
}

// Messages libical's parser and its check of RFC 5545's property rules
// leave in a component (X-LIC-ERROR), with the file's name.
void CollectLibicalErrors(icalcomponent* component, const fs::path& file,
                          std::vector<std::string>& errors) {
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY);
         p != nullptr; p = icalcomponent_get_next_property(component, ICAL_XLICERROR_PROPERTY))
        errors.push_back(file.filename().string() + ": " + icalproperty_get_xlicerror(p));
    for (icalcomponent* c = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT);
         c != nullptr; c = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT))
        CollectLibicalErrors(c, file, errors);
}

Calendars ReadWithLibical(const std::vector<fs::path>& files,
                          std::vector<std::string>* errors = nullptr) {
    Calendars calendars;
    for (const fs::path& file : files) {
        icalcomponent* calendar = icalparser_parse_string(qel2::test::cli::ReadFile(file).c_str());
        EXPECT_NE(calendar, nullptr) << file;
        if (calendar == nullptr) continue;
        if (errors != nullptr) {
            icalrestriction_check(calendar);
            CollectLibicalErrors(calendar, file, *errors);
        }
        std::string id;
        for (icalproperty* p = icalcomponent_get_first_property(calendar, ICAL_X_PROPERTY);
             p != nullptr; p = icalcomponent_get_next_property(calendar, ICAL_X_PROPERTY))
            if (std::string(icalproperty_get_x_name(p)) == "X-QEL2-CALID")
                id = icalproperty_get_x(p);
        std::vector<Component>& components = calendars[id];
        for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT);
             c != nullptr; c = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
            Component component{icalcomponent_kind_to_string(icalcomponent_isa(c)),
                                icalcomponent_get_uid(c),
                                TimeProperty(c, ICAL_RECURRENCEID_PROPERTY),
                                TimeProperty(c, ICAL_DTSTART_PROPERTY),
                                {}};
            for (icalproperty* a = icalcomponent_get_first_property(c, ICAL_ATTENDEE_PROPERTY);
                 a != nullptr; a = icalcomponent_get_next_property(c, ICAL_ATTENDEE_PROPERTY))
                component.attendees.push_back(icalproperty_get_attendee(a));
            std::sort(component.attendees.begin(), component.attendees.end());
            components.push_back(component);
        }
        icalcomponent_free(calendar);
    }
    SortAll(calendars);
    return calendars;
}

Calendars ReadWithPython(const std::vector<fs::path>& files,
                         std::vector<std::string>* invalid = nullptr) {
    std::vector<std::string> arguments = {QEL2_ICS_SUMMARY_SCRIPT};
    for (const fs::path& file : files) arguments.push_back(file.string());
    CliRun run = qel2::test::cli::RunProgram("/usr/bin/python3", arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    Calendars calendars;
    nlohmann::json parsed = nlohmann::json::parse(run.out);
    if (invalid != nullptr) *invalid = parsed["invalid"].get<std::vector<std::string>>();
    for (const auto& [id, items] : parsed["calendars"].items()) {
        std::vector<Component>& components = calendars[id];  // empty calendars too
        for (const nlohmann::json& item : items)
            components.push_back(Component{item["kind"], item["uid"], item["recurrence_id"],
                                           item["start"],
                                           item["attendees"].get<std::vector<std::string>>()});
    }
    SortAll(calendars);
    return calendars;
}

// The .ics files under `folder`, sub-folders included.
std::vector<fs::path> IcsFiles(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
        if (entry.path().extension() == ".ics") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

size_t ComponentCount(const Calendars& calendars) {
    size_t count = 0;
    for (const auto& [id, components] : calendars) count += components.size();
    return count;
}

TEST(CliExport, BothParsersReadWhatTheLibraryReads) {
    // Every time of this one is past 2038-01-19, where a 32-bit time_t wraps.
    qel2::test::TempDir late;
    qel2::mkstore::GenerateOptions options;
    options.calendars = 2;
    options.eventsPerCalendar = 20;
    options.todosPerCalendar = 4;
    options.firstStart = 2200000000u;  // 2039-09-19
    qel2::mkstore::GenerateStore(options, late.str());
    for (const fs::path& store :
         {qel2::test::cli::Stores().legacy, qel2::test::cli::Stores().generated, late.path()}) {
        qel2::test::TempDir out;
        CliRun run = RunCli({"export", store.string(), out.str()});
        ASSERT_EQ(run.status, 0) << run.err;
        std::vector<fs::path> files = IcsFiles(out.path());

        Calendars library = ReadWithLibrary(store);
        ASSERT_EQ(files.size(), library.size()) << store;
        EXPECT_EQ(ReadWithLibical(files), library) << store;
        EXPECT_EQ(ReadWithPython(files), library) << store;
    }
}

TEST(CliExport, TombstonesOnlyWhenAskedFor) {
    qel2::test::TempDir out;
    std::string store = qel2::test::cli::Stores().legacy.string();
    ASSERT_EQ(RunCli({"export", store, (out.path() / "plain").string()}).status, 0);
    ASSERT_EQ(RunCli({"export", store, (out.path() / "all").string(), "--tombstones"}).status, 0);
    std::string plain = qel2::test::cli::ReadFile(out.path() / "plain" / "jdoe.ics");
    std::string all = qel2::test::cli::ReadFile(out.path() / "all" / "jdoe.ics");
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

namespace {

// The entries of report.json for one uid: "outcome: what".
std::multimap<std::string, std::string> ReportEntries(const nlohmann::json& report) {
    std::multimap<std::string, std::string> entries;
    for (const nlohmann::json& calendar : report["calendars"])
        for (const nlohmann::json& record : calendar["records"])
            entries.emplace(
                record["uid"].get<std::string>(),
                record["outcome"].get<std::string>() + ": " + record["what"].get<std::string>());
    return entries;
}

TEST(CliExport, EveryHardCaseIsValidEverywhereAndReported) {
    qel2::test::TempDir dir;
    const qel2::test::cli::EdgeStore store = qel2::test::cli::WriteEdgeStore(dir.path() / "store");
    const fs::path out = dir.path() / "files";
    CliRun run = RunCli({"export", store.path.string(), out.string()});
    // One event has no time at all to start from, one value is damaged:
    // both left out, so status 1.
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("2 left out"), std::string::npos) << run.err;

    const nlohmann::json report =
        nlohmann::json::parse(qel2::test::cli::ReadFile(out / "report.json"));
    const auto entries = ReportEntries(report);
    for (const qel2::test::cli::ExpectedEntry& expected : store.expected) {
        bool found = false;
        for (auto [it, end] = entries.equal_range(expected.uid); it != end; ++it)
            found = found || (it->second.starts_with(expected.outcome + ": ") &&
                              it->second.find(expected.what) != std::string::npos);
        EXPECT_TRUE(found) << expected.uid << " " << expected.outcome << ": " << expected.what;
    }
    EXPECT_EQ(report["left_out"], 2);

    // Exactly one component per written record in both parsers, nothing
    // refused by libical's property rules or vobject's validation.
    const std::vector<fs::path> files = IcsFiles(out);
    const size_t written = report["events"].get<size_t>() + report["todos"].get<size_t>();
    std::vector<std::string> libicalErrors, vobjectErrors;
    const Calendars libical = ReadWithLibical(files, &libicalErrors);
    const Calendars python = ReadWithPython(files, &vobjectErrors);
    EXPECT_EQ(ComponentCount(libical), written);
    EXPECT_EQ(ComponentCount(python), written);
    // The long id's line is folded inside its UTF-8 text and read back whole.
    EXPECT_TRUE(libical.contains(store.longCalendarId));
    EXPECT_TRUE(python.contains(store.longCalendarId));
    EXPECT_EQ(libicalErrors, std::vector<std::string>{});
    EXPECT_EQ(vobjectErrors, std::vector<std::string>{});

    const std::string edge = qel2::test::cli::ReadFile(out / "edge.ics");
    EXPECT_EQ(edge.find("\r\nUID:injected"), std::string::npos);
    EXPECT_NE(edge.find("TRIGGER:-PT15M"),
              std::string::npos);  // the lead time, relative to each instance
    EXPECT_NE(edge.find("CATEGORIES:a\\,b"), std::string::npos);
    EXPECT_NE(qel2::test::cli::ReadFile(out / "latin.ics").find("Caf\u00e9 cr\u00e8me"),
              std::string::npos);

    // The long id's file name fits, and the file names the calendar.
    const nlohmann::json calendars =
        nlohmann::json::parse(qel2::test::cli::ReadFile(out / "calendars.json"));
    bool longIdFound = false;
    for (const nlohmann::json& calendar : calendars) {
        const std::string file = calendar["file"];
        EXPECT_LE(file.size(), 200u);
        EXPECT_TRUE(fs::is_regular_file(out / file)) << file;
        if (calendar["id"] == store.longCalendarId) longIdFound = true;
        if (calendar["id"] == "edge") {
            EXPECT_EQ(calendar["children"], nlohmann::json::array({"edge/hostile"}));
            EXPECT_EQ(calendar["owners"], nlohmann::json::array({"jdoe", "asmith"}));
            EXPECT_EQ(calendar["read_access"], "public");
            EXPECT_EQ(calendar["write_access"], "control");
        }
        if (calendar["id"] == "latin") {
            EXPECT_EQ(calendar["disabled"], true);
        }
    }
    EXPECT_TRUE(longIdFound);
}

// Radicale, started here, takes every resource of the vdir layout of the
// hard cases and of the generated and genuine stores.
TEST(CliExport, RadicaleAcceptsEveryResourceOfTheVdirLayout) {
    qel2::test::TempDir dir;
    const qel2::test::cli::EdgeStore edge = qel2::test::cli::WriteEdgeStore(dir.path() / "store");
    qel2::test::RadicaleServer server;
    for (const fs::path& store :
         {edge.path, qel2::test::cli::Stores().generated, qel2::test::cli::Stores().legacy}) {
        const fs::path out = dir.path() / ("vdir-" + store.filename().string());
        RunCli({"export", store.string(), out.string(), "--layout", "vdir"});
        const nlohmann::json report =
            nlohmann::json::parse(qel2::test::cli::ReadFile(out / "report.json"));
        size_t resources = 0;
        for (const nlohmann::json& calendar : report["calendars"])
            resources += calendar["resources"].get<size_t>();

        CliRun put = qel2::test::cli::RunProgram(
            "/usr/bin/python3", {QEL2_CALDAV_PUT_SCRIPT, server.url(), out.string()});
        ASSERT_EQ(put.status, 0) << put.err;
        const nlohmann::json answer = nlohmann::json::parse(put.out);
        EXPECT_EQ(answer["sent"], resources) << store;
        EXPECT_EQ(answer["refused"], nlohmann::json::array()) << store;
    }
}

TEST(CliExport, ExistingFilesAndSymlinksAreLeftAloneWithoutForce) {
    qel2::test::TempDir dir;
    const fs::path out = dir.path() / "out";
    fs::create_directories(out);
    const fs::path outside = dir.write("outside.txt", "outside");
    fs::create_symlink(outside, out / "jdoe.ics");
    const std::string store = qel2::test::cli::Stores().legacy.string();
    std::ofstream(out / "asmith.ics") << "mine";

    CliRun run = RunCli({"export", store, out.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(qel2::test::cli::ReadFile(outside), "outside");
    EXPECT_TRUE(fs::is_symlink(out / "jdoe.ics"));
    EXPECT_EQ(qel2::test::cli::ReadFile(out / "asmith.ics"), "mine");
    // The other calendars are written, and no temporary file is left.
    EXPECT_TRUE(fs::exists(out / "jdoe%3Atasks.ics"));
    for (const fs::directory_entry& entry : fs::directory_iterator(out))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
    // Nothing is replaced a second time either, the summary files included.
    EXPECT_NE(RunCli({"export", store, out.string()}).status, 0);
    EXPECT_EQ(qel2::test::cli::ReadFile(out / "asmith.ics"), "mine");

    EXPECT_EQ(RunCli({"export", store, out.string(), "--force"}).status, 0);
    EXPECT_EQ(qel2::test::cli::ReadFile(outside), "outside");
    EXPECT_FALSE(fs::is_symlink(out / "jdoe.ics"));
    EXPECT_NE(qel2::test::cli::ReadFile(out / "asmith.ics").find("BEGIN:VCALENDAR"),
              std::string::npos);
}

}  // namespace
