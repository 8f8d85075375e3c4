// verify on a store with deliberately damaged values names exactly those.

#include <gtest/gtest.h>

#include <set>

#include "cli_run.h"
#include "hex.h"
#include "record_keys.h"
#include "store_description.h"

namespace qel2::test::cli {
namespace {

template <typename Key>
std::pair<std::string, std::string> Named(const std::string& database, const Key& key) {
    return {database, qel2::tools::ToHex(key.data(), key.size())};
}

TEST(CliVerify, NamesExactlyTheDamagedRecords) {
    TempDir dir;
    const std::string store = (dir.path() / "store").string();
    mkstore::WriteStore(mkstore::PlanStore(StoreDescription("verify-damaged-store.json")), store);
    const std::set<std::pair<std::string, std::string>> expected = {
        Named("calprops.db", mkstore::MakeCalPropsKey("cut")),
        Named("events.db", mkstore::MakeEventKey("good", "cut-1", 0)),
        Named("events.db", mkstore::MakeEventKey("good", "raw-1", 0)),
        Named("todos.db", mkstore::MakeEventKey("good", "cut-todo", 0))};

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

}  // namespace
}  // namespace qel2::test::cli
