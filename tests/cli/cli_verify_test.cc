// verify on a store with deliberately damaged values names exactly those.

#include <gtest/gtest.h>

#include <set>

#include <nlohmann/json.hpp>

#include "cli_run.h"
#include "hex.h"
#include "record_keys.h"
#include "store_description.h"

namespace {

using qel2::test::cli::CliRun;
using qel2::test::cli::RunCli;

template <typename Key>
std::string Hex(const Key& key) {
    return qel2::tools::ToHex(key.data(), key.size());
}

TEST(CliVerify, NamesExactlyTheDamagedRecords) {
    qel2::test::TempDir dir;
    const std::string store = (dir.path() / "store").string();
    qel2::mkstore::WriteStore(
        qel2::mkstore::PlanStore(qel2::test::cli::StoreDescription("verify-damaged-store.json")),
        store);
    const std::set<std::pair<std::string, std::string>> expected = {
        {"calprops.db", Hex(qel2::mkstore::MakeCalPropsKey("cut"))},
        {"events.db", Hex(qel2::mkstore::MakeEventKey("good", "cut-1", 0))},
        {"events.db", Hex(qel2::mkstore::MakeEventKey("good", "raw-1", 0))},
        {"todos.db", Hex(qel2::mkstore::MakeEventKey("good", "cut-todo", 0))},
    };

    CliRun json = RunCli({"verify", store, "--json"});
    EXPECT_EQ(json.status, 1) << json.err;
    nlohmann::json report = nlohmann::json::parse(json.out);
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
