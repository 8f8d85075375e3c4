// Calendar properties by id, by walk and by search. (Reads by id, not-found
// results and the hashes of a search without pattern: the genuine store's
// cases, legacy_store_query_test.cc.)

#include <gmock/gmock.h>

#include "hex.h"
#include "query_store.h"
#include "record_keys.h"
#include "store_cases.h"

namespace qel2::test {
namespace {

TEST_F(QueryTest, EverySearchCaseFindsItsCalendars) {
    const std::string description = test_data_text("stores/search-store.json");
    openStore(description);
    for (const auto& [actual, expected] : RunCases(nlohmann::json::parse(description)))
        EXPECT_EQ(actual, expected);
}

int KeepAll(const qEL2_CALPROPS*, const void*) { return 1; }

TEST_F(QueryTest, ADamagedCalendarFailsItsReadAndTheWalkSkipsIt) {
    // alpha's value: a string list whose count runs past its end.
    openStore(R"({"calendars": [{"id": "gamma"}, {"id": "beta"},
                                {"id": "alpha", "raw_value_hex": "00000001000000027fffffff"}]})");
    qEL2_CALPROPS* cal = nullptr;
    EXPECT_EQ(qel2_pvt_ReadCalProps(const_cast<char*>("alpha"), &cal), 22);
    EXPECT_EQ(cal, nullptr);
    const std::string key = qel2::tools::ToHex(qel2::mkstore::Md5("alpha").data(), 16);
    EXPECT_EQ(count(3, "qel2_pvt_ReadCalProps: calprops.db: value of key " + key +
                           " cannot be decoded (22)\n"),
              1);

    // The walk goes on past it, in key order, and hands out no hashes.
    log_.clear();
    array_t* raw = nullptr;
    ASSERT_EQ(qel2_pvt_ScanCalProps(&raw, 0, nullptr, KeepAll), 0);
    qel2::CalPropsListPtr list(raw);
    EXPECT_EQ(HashedIds(raw), " gamma beta");
    EXPECT_EQ(count(3, "qel2_pvt_ScanCalProps: calprops.db: value of key " + key +
                           " cannot be decoded (22)\n"),
              1);
    EXPECT_EQ(log_.lines().size(), 1u);
}

}  // namespace
}  // namespace qel2::test
