// The command as a person calls it, on both stores and the bundled sample:
// the calls of tests/data/cli/cases.json, counts as the library gives them,
// listings in the order a person reads.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli_run.h"
#include "support/legacy42_manifest.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using qel2::test::cli::CliRun;
using qel2::test::cli::RunCli;
using qel2::test::cli::Stores;

// Runs the calls of one group of cases.json with `dir` as $DIR.
void RunCases(const std::string& group, const qel2::test::TempDir& dir) {
    const std::pair<std::string, std::string> places[] = {
        {"$LEGACY", Stores().legacy}, {"$GENERATED", Stores().generated}, {"$DIR", dir.str()}};
    const json cases = json::parse(qel2::test::test_data_text("cli/cases.json"));
    for (const json& c : cases[group]) {
        std::vector<std::string> arguments;
        for (std::string argument : c["args"]) {
            for (const auto& [name, path] : places)
                if (argument.starts_with(name)) argument.replace(0, name.size(), path);
            arguments.push_back(argument);
        }
        if (c.contains("settings")) dir.write("settings.conf", c["settings"]);
        CliRun run = RunCli(arguments, c.value("output", ""));
        const std::string call = c["args"].dump();
        EXPECT_EQ(run.status, c.value("status", 0)) << call << ": " << run.err;
        EXPECT_NE(run.out.find(c.value("out", "")), std::string::npos) << call << ":\n" << run.out;
        EXPECT_TRUE(!c.contains("absent") || run.out.find(c["absent"]) == std::string::npos)
            << call << ":\n"
            << run.out;
        EXPECT_TRUE(!c.value("quiet", false) || run.err.empty()) << call << ": " << run.err;
        if (!c.contains("err")) continue;
        EXPECT_EQ(run.err.rfind("qel2caldb: ", 0), 0u) << call << ": " << run.err;
        EXPECT_NE(run.err.substr(0, run.err.find('\n')).find(c["err"]), std::string::npos)
            << call << ": " << run.err;
        EXPECT_TRUE(run.status != 1 || run.err.find('\n') == run.err.size() - 1)
            << call << ": more than one line: " << run.err;
    }
}

TEST(CliCommands, EveryCommandReadsBothStoresAndTheSample) {
    qel2::test::TempDir dir;
    RunCases("reads", dir);
}

TEST(CliErrors, EachFailureIsOneSentenceAndANonZeroStatus) {
    qel2::test::TempDir dir;
    fs::create_directory(dir.path() / "empty");
    RunCases("errors", dir);
    // The wrong paths stayed as they were: nothing created, no empty store.
    EXPECT_TRUE(fs::is_empty(dir.path() / "empty"));
    EXPECT_FALSE(fs::exists(dir.path() / "missing"));
    EXPECT_FALSE(fs::exists(Stores().legacy / "jdoe.ics"));
}

TEST(CliOutput, AFailedWriteFailsTheCommandAndAClosedPipeEndsItQuietly) {
    qel2::test::TempDir dir;
    RunCases("writes", dir);
}

TEST(CliCommands, InfoCountsWhatWasWritten) {
    const json& legacy = qel2::test::Legacy42Manifest()["record_counts"];
    const qel2::mkstore::GenerateSummary& generated = Stores().generatedCounts;
    for (const auto& [store, counts] :
         {std::pair{Stores().legacy, legacy},
          {Stores().generated, json{{"calprops.db", generated.calendars},
                                    {"events.db", generated.events},
                                    {"todos.db", generated.todos},
                                    {"alarms.db", generated.alarmRecords}}}}) {
        CliRun run = RunCli({"info", store, "--json"});
        ASSERT_EQ(run.status, 0) << run.err;
        json databases = json::parse(run.out)["databases"];
        for (const char* database : {"calprops.db", "events.db", "todos.db", "alarms.db"})
            EXPECT_EQ(databases[database]["records"], counts[database]) << store << database;
    }
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
        end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

std::string Column(const std::string& line, int index) {
    size_t start = 0;
    for (int i = 0; i < index; ++i) start = line.find("  ", start) + 2;
    return line.substr(start, line.find("  ", start) - start);
}

TEST(CliCommands, ListingsComeInTheOrderAPersonReads) {
    // The genuine store keeps jdoe's events in key order: stand-up, shared,
    // holiday, weekly...; a person reads them by start.
    std::vector<std::string> uids;
    for (const std::string& line : Lines(RunCli({"events", Stores().legacy, "jdoe"}).out))
        uids.push_back(Column(line, 2));
    EXPECT_EQ(uids, (std::vector<std::string>{"evt-standup", "evt-weekly", "evt-shared",
                                              "evt-weekly@2006-01-23T14:00:00Z",
                                              "evt-weekly@2006-01-30T14:00:00Z", "evt-holiday"}));

    for (const fs::path& store : {Stores().legacy, Stores().generated}) {
        std::vector<std::string> all = Lines(RunCli({"calendars", store}).out);
        EXPECT_EQ(Lines(RunCli({"calendars", store, "--limit", "2"}).out),
                  std::vector<std::string>(all.begin(), all.begin() + 2));
        for (const std::string& calendar : all) {
            std::string id = Column(calendar, 0);
            CliRun text = RunCli({"events", store, id, "--tombstones"});
            CliRun listed = RunCli({"events", store, id, "--tombstones", "--json"});
            ASSERT_EQ(listed.status, 0) << listed.err;
            json items = json::parse(listed.out);
            ASSERT_EQ(items.size(), Lines(text.out).size()) << id;
            // ISO 8601 texts compare as the times do; a master (no recurrence id) first.
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
