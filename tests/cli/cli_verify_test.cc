// verify names exactly the damaged values of a store, those a value that
// would decode past the memory limit included.

#include <gtest/gtest.h>

#include <set>

#include "cli_run.h"
#include "hex.h"
#include "record_keys.h"
#include "store_description.h"

namespace qel2::test::cli {
namespace {

TEST(CliVerify, NamesExactlyTheDamagedRecords) {
    TempDir dir;
    const std::string store = (dir.path() / "store").string();
    mkstore::WriteStore(mkstore::PlanStore(StoreDescription("verify-damaged-store.json")), store);
    auto damaged = [](const std::string& database, const auto& key) {
        return std::pair{database, qel2::tools::ToHex(key.data(), key.size())};
    };
    const std::set<std::pair<std::string, std::string>> expected = {
        damaged("calprops.db", mkstore::MakeCalPropsKey("cut")),
        damaged("events.db", mkstore::MakeEventKey("good", "cut-1", 0)),
        damaged("events.db", mkstore::MakeEventKey("good", "raw-1", 0)),
        damaged("todos.db", mkstore::MakeEventKey("good", "cut-todo", 0))};

    CliRun json = RunCli({"verify", store, "--json"});
    EXPECT_EQ(json.status, 1) << json.err;
    const nlohmann::json report = nlohmann::json::parse(json.out);
    std::set<std::pair<std::string, std::string>> named;
    for (const nlohmann::json& damage : report["damaged_records"])
        named.emplace(damage["database"], damage["key"]);
    EXPECT_EQ(named, expected);
    EXPECT_EQ(report["records"], 7);
    EXPECT_EQ(report["damaged"], 4);

    CliRun text = RunCli({"verify", store});
    EXPECT_EQ(text.status, 1);
    for (const auto& [database, key] : expected)
        EXPECT_NE(text.out.find("damaged: " + database + " key " + key + ": "), std::string::npos)
            << text.out;
    EXPECT_NE(text.out.find("DAMAGED: 7 records, 4 damaged"), std::string::npos) << text.out;
}

TEST(CliVerify, AValueDecodingPastTheMemoryLimitIsDamage) {
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
