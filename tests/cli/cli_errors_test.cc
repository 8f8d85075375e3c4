// Failures that need a store in a given state: one from Berkeley DB 4.2 not
// yet recovered, one left in a panic, one value that would decode past the
// memory limit. (Calls that fail on their arguments are in cases.json.)

#include <gtest/gtest.h>

#include <fstream>

#include "cli_run.h"
#include "store_description.h"

namespace qel2::test::cli {
namespace {

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

TEST(CliErrors, AValueDecodingPastTheMemoryLimitIsDamage) {
    // 300,000 empty categories: 300 KB stored, about 7.5 MB decoded.
    TempDir dir;
    const nlohmann::json wide = {{"calendar", "c"},
                                 {"uid", "wide"},
                                 {"fields", {{"pCategories", std::vector<std::string>(300000)}}}};
    const std::string store = (dir.path() / "store").string();
    mkstore::WriteStore(mkstore::PlanStore({{"calendars", {{{"id", "c"}}}}, {"events", {wide}}}),
                        store);
    const std::string limit = dir.write("limit.conf", "caldb.maxdecodedrecordmb = 1\n");

    EXPECT_EQ(RunCli({"verify", store}).status, 0);
    CliRun verify = RunCli({"verify", store, "--config", limit});
    EXPECT_EQ(verify.status, 1);
    EXPECT_NE(verify.out.find("damaged: events.db key "), std::string::npos) << verify.out;
    CliRun exported = RunCli({"export", store, dir.str() + "/out", "--config", limit});
    EXPECT_EQ(exported.status, 1);
    EXPECT_NE(exported.err.find("events.db"), std::string::npos) << exported.err;
}

}  // namespace
}  // namespace qel2::test::cli
