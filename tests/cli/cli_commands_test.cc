// The command as a person calls it, on both stores and the bundled sample:
// the calls of tests/data/cli/cases.json, listings in the order a person
// reads, a store from Berkeley DB 4.2 not yet recovered and one left in a
// panic.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "cli_run.h"

namespace qel2::test::cli {
namespace {

using nlohmann::json;

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

// Every calendar's events of both stores, deleted ones included, as many in
// JSON as in text, come by start (ISO 8601 texts compare as the times do),
// then uid, a master (no recurrence id) before its instances.
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

TEST(CliErrors, AStoreFromBerkeleyDb42NamesTheRecoverCommand) {
    TempDir dir;
    const std::filesystem::path store = UnpackLegacyStore(dir);
    // Refused, recovered (the expected complaints about old region files
    // not shown), then read.
    RunCases("recover", dir);

    // The panic word of the primary region (after its magic number) set,
    // as a process that stopped in a Berkeley DB panic leaves it.
    std::fstream(store / "__db.001", std::ios::in | std::ios::out | std::ios::binary)
        .seekp(4)
        .put(1);
    CliRun panicked = RunCli({"calendars", store});
    EXPECT_EQ(panicked.status, 1);
    EXPECT_NE(panicked.err.find("was left in a Berkeley DB panic"), std::string::npos)
        << panicked.err;
}

}  // namespace
}  // namespace qel2::test::cli
