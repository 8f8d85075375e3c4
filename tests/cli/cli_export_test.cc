// export: each calendar's .ics file holds exactly the events and to-dos the
// library reads, field by field as python3-icalendar reads them back, and as
// many as libical reads; libical's and python3-vobject's checks refuse
// nothing. A store of every hard case
// exports to files those readers and a real CalDAV server accept whole, with
// each repair in the report; existing files and symlinks are left alone.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <libical/ical.h>
#include <nlohmann/json.hpp>

#include "cli_run.h"
#include "export_edge_store.h"
#include "library_records.h"
#include "support/radicale_server.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using qel2::test::cli::CliRun;
using qel2::test::cli::ReadFile;
using qel2::test::cli::RunCli;
using qel2::test::cli::Stores;

// What libical's parser and its check of RFC 5545's property rules leave in
// a component (X-LIC-ERROR).
void CollectErrors(icalcomponent* component, const std::string& file,
                   std::vector<std::string>& errors) {
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY);
         p != nullptr; p = icalcomponent_get_next_property(component, ICAL_XLICERROR_PROPERTY))
        errors.push_back(file + ": " + icalproperty_get_xlicerror(p));
    for (icalcomponent* c = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT);
         c != nullptr; c = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT))
        CollectErrors(c, file, errors);
}

// libical's check of the files: the number of events and to-dos it reads;
// its complaints go to `errors`.
size_t CheckWithLibical(const std::vector<std::string>& files, std::vector<std::string>& errors) {
    size_t components = 0;
    for (const std::string& file : files) {
        icalcomponent* calendar = icalparser_parse_string(ReadFile(file).c_str());
        EXPECT_NE(calendar, nullptr) << file;
        if (calendar == nullptr) continue;
        icalrestriction_check(calendar);
        CollectErrors(calendar, file, errors);
        components += icalcomponent_count_components(calendar, ICAL_ANY_COMPONENT);
        icalcomponent_free(calendar);
    }
    return components;
}

size_t ItemCount(const qel2::test::cli::Calendars& calendars) {
    size_t count = 0;
    for (const auto& [id, items] : calendars) count += items.size();
    return count;
}

// The .ics files under `folder`, sub-folders included.
std::vector<std::string> IcsFiles(const fs::path& folder) {
    std::vector<std::string> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
        if (entry.path().extension() == ".ics") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

qel2::test::cli::Readback ReadWithPython(const std::vector<std::string>& files) {
    std::vector<std::string> arguments = {"--files"};
    arguments.insert(arguments.end(), files.begin(), files.end());
    return qel2::test::cli::ReadBack(arguments);
}

TEST(CliExport, BothParsersReadWhatTheLibraryReads) {
    // Every time of this one is past 2038-01-19, where a 32-bit time_t wraps.
    qel2::test::TempDir late;
    qel2::mkstore::GenerateStore(
        {.calendars = 2, .eventsPerCalendar = 20, .todosPerCalendar = 4, .firstStart = 2200000000u},
        late.str());
    for (const fs::path& store : {Stores().legacy, Stores().generated, late.path()}) {
        qel2::test::TempDir out;
        CliRun run = RunCli({"export", store, out.str()});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::vector<std::string> files = IcsFiles(out.path());
        const qel2::test::cli::Calendars library = qel2::test::cli::ReadWithLibrary(store);
        ASSERT_EQ(files.size(), library.size()) << store;
        std::vector<std::string> libicalErrors;
        EXPECT_EQ(CheckWithLibical(files, libicalErrors), ItemCount(library)) << store;
        EXPECT_EQ(libicalErrors, std::vector<std::string>{}) << store;
        const qel2::test::cli::Readback python = ReadWithPython(files);
        EXPECT_EQ(python.items, library) << store;
        EXPECT_EQ(python.invalid, std::vector<std::string>{}) << store;
    }
}

TEST(CliExport, TombstonesOnlyWhenAskedFor) {
    qel2::test::TempDir out;
    ASSERT_EQ(RunCli({"export", Stores().legacy, out.str() + "/plain"}).status, 0);
    ASSERT_EQ(RunCli({"export", Stores().legacy, out.str() + "/all", "--tombstones"}).status, 0);
    std::string plain = ReadFile(out.path() / "plain" / "jdoe.ics");
    std::string all = ReadFile(out.path() / "all" / "jdoe.ics");
    EXPECT_EQ(plain.find("UID:evt-cancelled"), std::string::npos);
    EXPECT_NE(all.find("UID:evt-cancelled"), std::string::npos);
    EXPECT_NE(all.find("X-QEL2-TOMBSTONE:1"), std::string::npos);
    // Kept as X- properties rather than dropped: the unnamed event flag bit
    // and the stored x-property.
    EXPECT_NE(plain.find("X-QEL2-FLAGS:0x4000"), std::string::npos);
    EXPECT_NE(plain.find("X-ROOM:101"), std::string::npos);
    EXPECT_TRUE(fs::exists(out.path() / "plain" / "jdoe%3Atasks.ics"));
}

TEST(CliExport, EveryHardCaseIsValidEverywhereAndReported) {
    qel2::test::TempDir dir;
    const json edge = qel2::test::cli::WriteEdgeStore(dir.path() / "store");
    const fs::path out = dir.path() / "files";
    CliRun run = RunCli({"export", dir.path() / "store", out});
    // One event has no time at all to start from, one value is damaged:
    // both left out, so status 1.
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("2 left out"), std::string::npos) << run.err;

    const json report = json::parse(ReadFile(out / "report.json"));
    EXPECT_EQ(report["left_out"], 2);
    std::multimap<std::string, std::string> entries;  // uid -> "outcome: what"
    for (const json& calendar : report["calendars"])
        for (const json& record : calendar["records"])
            entries.emplace(record["uid"], record["outcome"].get<std::string>() + ": " +
                                               record["what"].get<std::string>());
    for (const json& expected : edge["expected_report"]) {
        const std::string outcome = expected[1].get<std::string>() + ": ";
        bool found = false;
        for (auto [it, end] = entries.equal_range(expected[0]); it != end; ++it)
            found = found || (it->second.starts_with(outcome) &&
                              it->second.find(expected[2]) != std::string::npos);
        EXPECT_TRUE(found) << expected.dump();
    }

    // Exactly one component per written record in both parsers, nothing
    // refused by libical's property rules or vobject's validation; the long
    // id's line is folded inside its UTF-8 text and read back whole.
    const std::vector<std::string> files = IcsFiles(out);
    const size_t written = report["events"].get<size_t>() + report["todos"].get<size_t>();
    std::vector<std::string> libicalErrors;
    EXPECT_EQ(CheckWithLibical(files, libicalErrors), written);
    const qel2::test::cli::Readback python = ReadWithPython(files);
    EXPECT_EQ(ItemCount(python.items), written);
    EXPECT_TRUE(python.items.contains(edge["long_calendar_id"]));
    EXPECT_EQ(libicalErrors, std::vector<std::string>{});
    EXPECT_EQ(python.invalid, std::vector<std::string>{});

    const std::string edgeFile = ReadFile(out / "edge.ics");
    EXPECT_EQ(edgeFile.find("\r\nUID:injected"), std::string::npos);
    EXPECT_NE(edgeFile.find("TRIGGER:-PT15M"), std::string::npos);  // relative to each instance
    EXPECT_NE(edgeFile.find("CATEGORIES:a\\,b"), std::string::npos);
    EXPECT_NE(ReadFile(out / "latin.ics").find("Caf\u00e9 cr\u00e8me"), std::string::npos);

    // The long id's file name fits, and the file names the calendar.
    bool longIdFound = false;
    for (const json& calendar : json::parse(ReadFile(out / "calendars.json"))) {
        const std::string file = calendar["file"];
        EXPECT_LE(file.size(), 200u);
        EXPECT_TRUE(fs::is_regular_file(out / file)) << file;
        longIdFound = longIdFound || calendar["id"] == edge["long_calendar_id"];
        if (calendar["id"] == "edge") {
            EXPECT_EQ(calendar["children"], json::array({"edge/hostile"}));
            EXPECT_EQ(calendar["owners"], json::array({"jdoe", "asmith"}));
            EXPECT_EQ(calendar["read_access"], "public");
            EXPECT_EQ(calendar["write_access"], "control");
        }
        EXPECT_TRUE(calendar["id"] != "latin" || calendar["disabled"] == true);
    }
    EXPECT_TRUE(longIdFound);
}

// Radicale, started here, takes every resource of the vdir layout of the
// hard cases and of the generated and genuine stores.
TEST(CliExport, RadicaleAcceptsEveryResourceOfTheVdirLayout) {
    qel2::test::TempDir dir;
    qel2::test::cli::WriteEdgeStore(dir.path() / "store");
    qel2::test::RadicaleServer server;
    for (const fs::path& store : {dir.path() / "store", Stores().generated, Stores().legacy}) {
        const fs::path out = dir.path() / ("vdir-" + store.filename().string());
        RunCli({"export", store, out, "--layout", "vdir"});
        size_t resources = 0;
        const json report = json::parse(ReadFile(out / "report.json"));
        for (const json& calendar : report["calendars"])
            resources += calendar["resources"].get<size_t>();
        CliRun put = qel2::test::cli::RunProgram(
            "/usr/bin/python3", {QEL2_CALDAV_PUT_SCRIPT, server.url(), out.string()});
        ASSERT_EQ(put.status, 0) << put.err;
        const json answer = json::parse(put.out);
        EXPECT_EQ(answer["sent"], resources) << store;
        EXPECT_EQ(answer["refused"], json::array()) << store;
    }
}

TEST(CliExport, ExistingFilesAndSymlinksAreLeftAloneWithoutForce) {
    qel2::test::TempDir dir;
    const fs::path out = dir.path() / "out";
    fs::create_directories(out);
    const fs::path outside = dir.write("outside.txt", "outside");
    fs::create_symlink(outside, out / "jdoe.ics");
    std::ofstream(out / "asmith.ics") << "mine";

    EXPECT_EQ(RunCli({"export", Stores().legacy, out}).status, 1);
    EXPECT_EQ(ReadFile(outside), "outside");
    EXPECT_TRUE(fs::is_symlink(out / "jdoe.ics"));
    EXPECT_EQ(ReadFile(out / "asmith.ics"), "mine");
    // The other calendars are written, and no temporary file is left.
    EXPECT_TRUE(fs::exists(out / "jdoe%3Atasks.ics"));
    for (const fs::directory_entry& entry : fs::directory_iterator(out))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
    // Nothing is replaced a second time either, the summary files included.
    EXPECT_NE(RunCli({"export", Stores().legacy, out}).status, 0);
    EXPECT_EQ(ReadFile(out / "asmith.ics"), "mine");

    EXPECT_EQ(RunCli({"export", Stores().legacy, out, "--force"}).status, 0);
    EXPECT_EQ(ReadFile(outside), "outside");
    EXPECT_FALSE(fs::is_symlink(out / "jdoe.ics"));
    EXPECT_NE(ReadFile(out / "asmith.ics").find("BEGIN:VCALENDAR"), std::string::npos);
}

}  // namespace
