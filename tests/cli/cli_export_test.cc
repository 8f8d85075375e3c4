// export: each calendar's .ics file holds exactly the events and to-dos the
// library reads, field by field as python3-icalendar reads them back, and as
// many as libical reads; libical and python3-vobject refuse nothing, also of
// a store of every hard case, whose repairs are all reported; existing files
// and symlinks are left alone. (Tombstones: cases.json; Radicale taking the
// vdir layout: cli_push_test.cc.)

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include <libical/ical.h>

#include "cli_run.h"
#include "library_records.h"

namespace qel2::test::cli {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// The .ics files under `folder`, sub-folders included, checked: libical and
// python3-vobject refuse nothing, libical and python3-icalendar each read
// `count` events and to-dos, one file per calendar. Returns what
// python3-icalendar reads.
Readback CheckFiles(const fs::path& folder, size_t count) {
    std::vector<std::string> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
        if (entry.path().extension() == ".ics") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    size_t components = 0;
    for (const std::string& file : files) {
        icalcomponent* calendar = icalparser_parse_string(ReadFile(file).c_str());
        EXPECT_NE(calendar, nullptr) << file;
        if (calendar == nullptr) continue;
        // Its parser and its check of RFC 5545's property rules leave their
        // complaints in the components (X-LIC-ERROR).
        icalrestriction_check(calendar);
        EXPECT_EQ(icalcomponent_count_errors(calendar), 0)
            << file << ":\n"
            << icalcomponent_as_ical_string(calendar);
        components += icalcomponent_count_components(calendar, ICAL_ANY_COMPONENT);
        icalcomponent_free(calendar);
    }
    EXPECT_EQ(components, count) << folder;
    files.insert(files.begin(), "--files");
    Readback python = ReadBack(files);
    EXPECT_EQ(python.invalid, std::vector<std::string>{}) << folder;
    size_t items = 0;
    for (const auto& [id, list] : python.items) items += list.size();
    EXPECT_EQ(items, count) << folder;
    for (const auto& [id, resources] : python.resources) EXPECT_EQ(resources, 1u) << id;
    return python;
}

TEST(CliExport, BothParsersReadWhatTheLibraryReads) {
    // Every time of this one is past 2038-01-19, where a 32-bit time_t wraps.
    TempDir late;
    mkstore::GenerateStore(
        {.calendars = 2, .eventsPerCalendar = 20, .todosPerCalendar = 4, .firstStart = 2200000000u},
        late.str());
    for (const fs::path& store : {Stores().legacy, Stores().generated, late.path()}) {
        TempDir out;
        CliRun run = RunCli({"export", store, out.str()});
        ASSERT_EQ(run.status, 0) << run.err;
        const Calendars library = ReadWithLibrary(store);
        size_t items = 0;
        for (const auto& [id, list] : library) items += list.size();
        // One file per calendar, each holding the calendar's items.
        EXPECT_EQ(CheckFiles(out.path(), items).items, library) << store;
    }
}

TEST(CliExport, EveryHardCaseIsValidEverywhereAndReported) {
    TempDir dir;
    const json edge = WriteEdgeStore(dir.path() / "store");
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

    // One component per written record; the long id's line is folded inside
    // its UTF-8 text and read back whole.
    const Readback python =
        CheckFiles(out, report["events"].get<size_t>() + report["todos"].get<size_t>());
    EXPECT_TRUE(python.items.contains(edge["long_calendar_id"]));
    for (const auto& [file, texts] : edge["expected_files"].items()) {
        const std::string text = ReadFile(out / file);
        for (const json& part : texts["has"]) EXPECT_NE(text.find(part), std::string::npos) << part;
        for (const json& part : texts.value("lacks", json::array()))
            EXPECT_EQ(text.find(part), std::string::npos) << part;
    }

    // Each calendar's file exists and its name fits, the long id's too.
    std::map<std::string, json> calendars;
    for (const json& calendar : json::parse(ReadFile(out / "calendars.json"))) {
        const std::string file = calendar["file"];
        EXPECT_LE(file.size(), 200u);
        EXPECT_TRUE(fs::is_regular_file(out / file)) << file;
        calendars[calendar["id"]] = calendar;
    }
    EXPECT_TRUE(calendars.contains(edge["long_calendar_id"]));
    for (const auto& [id, fields] : edge["expected_calendars"].items())
        for (const auto& [key, value] : fields.items())
            EXPECT_EQ(calendars[id][key], value) << id << " " << key;
}

TEST(CliExport, ExistingFilesAndSymlinksAreLeftAloneWithoutForce) {
    TempDir dir;
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
}  // namespace qel2::test::cli
