// The command as a person calls it, on both stores and the bundled sample:
// the calls of tests/data/cli/cases.json, counts as the library gives them,
// listings in the order a person reads.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cli_run.h"
#include "support/legacy42_manifest.h"

namespace qel2::test::cli {
namespace {

using nlohmann::json;

// One text or a list of texts, as a list.
json Texts(const json& value) { return value.is_array() ? value : json::array({value}); }

// Runs the calls of one group of cases.json, with `dir` as $DIR.
void RunCases(const std::string& group, const TempDir& dir) {
    const std::pair<std::string, std::string> places[] = {
        {"$LEGACY", Stores().legacy}, {"$GENERATED", Stores().generated}, {"$DIR", dir.str()}};
    auto placed = [&](std::string text) {
        for (const auto& [name, path] : places)
            if (text.starts_with(name)) text.replace(0, name.size(), path);
        return text;
    };
    const json cases = json::parse(test_data_text("cli/cases.json"));
    for (const json& c : cases[group]) {
        std::vector<std::string> arguments;
        for (const json& argument : c["args"]) arguments.push_back(placed(argument));
        if (c.contains("settings")) dir.write("settings.conf", c["settings"]);
        CliRun run = RunCli(arguments, c.value("output", ""));
        const std::string call = c["args"].dump() + ": ";
        EXPECT_EQ(run.status, c.value("status", 0)) << call << run.err;
        const std::string out = c.contains("file") ? ReadFile(placed(c["file"])) : run.out;
        for (const json& text : Texts(c.value("out", json::array())))
            EXPECT_NE(out.find(text), std::string::npos) << call << text << " not in\n" << out;
        for (const json& text : Texts(c.value("absent", json::array())))
            EXPECT_EQ(out.find(text), std::string::npos) << call << text << " in\n" << out;
        EXPECT_TRUE(!c.value("quiet", false) || run.err.empty()) << call << run.err;
        if (!c.contains("err")) continue;
        EXPECT_EQ(run.err.rfind("qel2caldb: ", 0), 0u) << call << run.err;
        EXPECT_NE(run.err.substr(0, run.err.find('\n')).find(c["err"]), std::string::npos)
            << call << run.err;
        EXPECT_TRUE(run.status != 1 || run.err.find('\n') == run.err.size() - 1)
            << call << "more than one line: " << run.err;
    }
}

TEST(CliCommands, EveryCommandReadsBothStoresAndTheSample) { RunCases("reads", TempDir()); }

TEST(CliErrors, EachFailureIsOneSentenceAndANonZeroStatus) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "empty");
    RunCases("errors", dir);
    // The wrong paths stayed as they were: nothing created, no empty store.
    EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "empty"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
    EXPECT_FALSE(std::filesystem::exists(Stores().legacy / "jdoe.ics"));
}

TEST(CliOutput, AFailedWriteFailsTheCommandAndAClosedPipeEndsItQuietly) {
    RunCases("writes", TempDir());
}

TEST(CliCommands, InfoCountsWhatWasWritten) {
    const mkstore::GenerateSummary& made = Stores().generatedCounts;
    const json generated = {{"calprops.db", made.calendars},
                            {"events.db", made.events},
                            {"todos.db", made.todos},
                            {"alarms.db", made.alarmRecords}};
    for (const auto& [store, counts] :
         {std::pair{Stores().legacy, Legacy42Manifest()["record_counts"]},
          {Stores().generated, generated}}) {
        CliRun run = RunCli({"info", store, "--json"});
        ASSERT_EQ(run.status, 0) << run.err;
        const json databases = json::parse(run.out)["databases"];
        for (const auto& [database, records] : counts.items())
            EXPECT_EQ(databases[database]["records"], records) << store << database;
    }
}

// Every calendar's events of both stores, deleted ones included, as many in
// JSON as in text, come by
// start (ISO 8601 texts compare as the times do), then uid, a master (no
// recurrence id) before its instances.
TEST(CliCommands, ListingsComeInTheOrderAPersonReads) {
    for (const std::filesystem::path& store : {Stores().legacy, Stores().generated}) {
        std::istringstream calendars(RunCli({"calendars", store}).out);
        for (std::string line; std::getline(calendars, line);) {
            const std::string id = line.substr(0, line.find(' '));
            CliRun listed = RunCli({"events", store, id, "--tombstones", "--json"});
            ASSERT_EQ(listed.status, 0) << listed.err;
            const json items = json::parse(listed.out);
            const std::string text = RunCli({"events", store, id, "--tombstones"}).out;
            EXPECT_EQ(items.size(), std::count(text.begin(), text.end(), '\n')) << id;
            auto key = [](const json& item) {
                const json& rid = item["recurrence_id"];
                return std::tuple(item["start"].get<std::string>(), item["uid"].get<std::string>(),
                                  rid.is_null() ? "" : rid.get<std::string>());
            };
            for (size_t i = 1; i < items.size(); ++i)
                EXPECT_LE(key(items[i - 1]), key(items[i])) << id << " #" << i;
        }
    }
}

}  // namespace
}  // namespace qel2::test::cli
