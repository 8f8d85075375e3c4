// Every command on both stores and on the bundled sample: exit status 0 and
// the records the store holds; counts and windows as the library gives them.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli_run.h"
#include "cli_stores.h"
#include "support/legacy42_manifest.h"

namespace {

using qel2::test::cli::CliRun;
using qel2::test::cli::RunCli;
using qel2::test::cli::Stores;

TEST(CliCommands, EveryCommandReadsBothStoresAndTheSample) {
    qel2::test::TempDir exports;
    std::string legacy = Stores().legacy.string();
    std::string generated = Stores().generated.string();
    // `store` "--sample" asks for the bundled sample. Windows and
    // tombstones are the library's (query tests); here, that the options
    // reach it.
    const struct {
        std::string store;
        std::vector<std::string> arguments;
        std::string expected, absent = "";
    } cases[] = {
        {legacy, {"info"}, "version      1.0.0 [BerkeleyDB]\nevents.db "},
        {legacy,
         {"calendars"},
         "room:101              Room 101 (50% booked)         facilities  [disabled]"},
        {legacy,
         {"events", "jdoe"},
         "evt-weekly@2006-01-23T14:00:00Z  TENTATIVE  Weekly planning",
         "evt-cancelled"},
        {legacy, {"events", "jdoe", "--tombstones"}, "evt-cancelled  CANCELLED", ""},
        {legacy,
         {"events", "jdoe", "--from", "2006-01-25", "--to", "2006-02-01"},
         "evt-weekly@2006-01-30",
         "evt-standup"},
        {legacy,
         {"todos", "jdoe:tasks"},
         "2006-01-09T16:00:00Z  todo-report  COMPLETED  Write status report",
         "todo-old"},
        {legacy, {"todos", "jdoe:tasks", "--tombstones"}, "todo-old", ""},
        {legacy,
         {"todos", "jdoe:tasks", "--from", "2006-01-10", "--to", "2006-01-11"},
         "todo-expenses",
         "todo-report"},
        {legacy, {"show", "jdoe", "evt-weekly", "2006-01-30T14:00:00Z"}, "Weekly planning (moved)"},
        {legacy, {"dump"}, "\nRelativeCalID = room:101\n"},
        {legacy, {"verify"}, "OK: 22 records, 0 damaged"},
        {legacy,
         {"export", (exports.path() / "legacy").string()},
         "exported 4 calendars, 8 events and 4 to-dos"},
        {generated, {"recover"}, "recovered "},
        {generated, {"calendars", "user1", "--mode", "exact"}, "user1 "},
        {generated, {"events", "user0"}, "user0-evt-4  "},
        {generated, {"todos", "user2", "--json"}, "\"uid\": \"user2-todo-0\""},
        {generated, {"show", "user0", "user0-evt-0"}, "pUID = user0-evt-0"},
        {generated, {"dump"}, "\nRelativeCalID = user2\n"},
        {generated, {"verify"}, "OK: "},
        {"--sample", {"events", "asmith"}, "evt-1on1"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.begin() + 1, c.store);
        CliRun run = RunCli(arguments);
        std::string call = arguments[0] + " on " + c.store;
        EXPECT_EQ(run.status, 0) << call << ": " << run.err;
        EXPECT_NE(run.out.find(c.expected), std::string::npos) << call << " printed:\n" << run.out;
        EXPECT_TRUE(c.absent.empty() || run.out.find(c.absent) == std::string::npos)
            << call << ":\n"
            << run.out;
    }
}

TEST(CliCommands, InfoCountsWhatWasWritten) {
    const nlohmann::json& counts = qel2::test::Legacy42Manifest()["record_counts"];
    const struct {
        std::string store;
        uint64_t calendars, events, todos, alarms;
    } stores[] = {
        {Stores().legacy.string(), counts["calprops.db"], counts["events.db"], counts["todos.db"],
         counts["alarms.db"]},
        {Stores().generated.string(), Stores().calendars, Stores().events, Stores().todos,
         Stores().alarmRecords},
    };
    for (const auto& store : stores) {
        CliRun run = RunCli({"info", store.store, "--json"});
        ASSERT_EQ(run.status, 0) << run.err;
        nlohmann::json info = nlohmann::json::parse(run.out)["databases"];
        const uint64_t expected[] = {store.calendars, store.events, store.todos, store.alarms};
        const char* databases[] = {"calprops.db", "events.db", "todos.db", "alarms.db"};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(info[databases[i]]["records"], expected[i]) << store.store;
    }
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
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
    CliRun jdoe = RunCli({"events", Stores().legacy.string(), "jdoe"});
    std::vector<std::string> uids;
    for (const std::string& line : Lines(jdoe.out)) uids.push_back(Column(line, 2));
    EXPECT_EQ(uids, (std::vector<std::string>{"evt-standup", "evt-weekly", "evt-shared",
                                              "evt-weekly@2006-01-23T14:00:00Z",
                                              "evt-weekly@2006-01-30T14:00:00Z", "evt-holiday"}))
        << jdoe.out;

    for (const std::string& store : {Stores().legacy.string(), Stores().generated.string()}) {
        CliRun all = RunCli({"calendars", store});
        CliRun first = RunCli({"calendars", store, "--limit", "2"});
        std::vector<std::string> expected = Lines(all.out);
        expected.resize(2);
        EXPECT_EQ(Lines(first.out), expected) << store;

        for (const std::string& calendar : Lines(all.out)) {
            std::string id = Column(calendar, 0);
            CliRun text = RunCli({"events", store, id, "--tombstones"});
            CliRun json = RunCli({"events", store, id, "--tombstones", "--json"});
            ASSERT_EQ(json.status, 0) << json.err;
            nlohmann::json items = nlohmann::json::parse(json.out);
            ASSERT_EQ(items.size(), Lines(text.out).size()) << id;
            // ISO 8601 texts compare as the times do; a master (no recurrence id) first.
            auto key = [](const nlohmann::json& item) {
                const nlohmann::json& rid = item["recurrence_id"];
                return std::tuple(item["start"].get<std::string>(), item["uid"].get<std::string>(),
                                  rid.is_null() ? "" : rid.get<std::string>());
            };
            for (size_t i = 1; i < items.size(); ++i)
                EXPECT_LE(key(items[i - 1]), key(items[i])) << id << " #" << i;
        }
    }
}

}  // namespace
