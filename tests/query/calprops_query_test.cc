// Calendar properties by id, by walk and by search.

#include <gmock/gmock.h>

#include "hex.h"
#include "query_store.h"
#include "record_keys.h"

namespace qel2::test {
namespace {

int KeepNone(const qEL2_CALPROPS*, const void*) { return 0; }
int KeepAll(const qEL2_CALPROPS*, const void*) { return 1; }

class CalPropsQueryTest : public QueryTest {
protected:
    // Walk order is the order of the ids' digests: gamma, alpha, beta.
    void SetUp() override {
        QueryTest::SetUp();
        openStore(R"({"calendars": [
            {"id": "alpha", "fields": {"pName": "Team Alpha", "pPrimaryOwner": "ann", "pOtherOwners": ["Bob", "carol"]}},
            {"id": "beta", "fields": {"pName": "Beta lab", "pPrimaryOwner": "bob"}},
            {"id": "gamma", "fields": {"pName": "GAMMA"}}]})");
    }
    std::string scan(const char* pattern, uint32_t fields, uint32_t mode, uint32_t limit = 0) {
        array_t* raw = nullptr;
        EXPECT_EQ(qel2_pvt_SearchCalProps(pattern, fields, mode, limit, &raw), 0);
        qel2::CalPropsListPtr list(raw);
        return HashedIds(raw);
    }
    std::string scan(qEL2_CALPROPS_FILTER filter) {
        array_t* raw = nullptr;
        EXPECT_EQ(qel2_pvt_ScanCalProps(&raw, 0, nullptr, filter), 0);
        qel2::CalPropsListPtr list(raw);
        return HashedIds(raw);
    }
};

// Reading by id, not-found results and the hash of a search without
// pattern are checked on the genuine store (legacy_store_query_test.cc).
TEST_F(CalPropsQueryTest, AWalkListsWhatItsFilterKeepsWithoutHashes) {
    EXPECT_EQ(scan(KeepAll), " gamma alpha beta");
    EXPECT_EQ(scan(KeepNone), "");
    EXPECT_TRUE(qel2_CalHashValid(calendar("alpha").get())) << "unlike a read by id";
}

// The genuine store's cases search with contains, begins and a
// case-sensitive exact match; here, what they leave out.
TEST_F(CalPropsQueryTest, SearchModesFieldsAndLimits) {
    struct Case {
        const char* pattern;
        uint32_t fields, mode, limit;
        const char* found;
    };
    const uint32_t kId = qEL2_SEARCH_CALID, kName = qEL2_SEARCH_NAME, kOwners = qEL2_SEARCH_OWNERS;
    const Case cases[] = {
        {"alpha", kId, qEL2_MATCH_EXACT, 1, " alpha"},  // gamma, dropped, does not use up the limit
        {"a", kId, qEL2_MATCH_CONTAINS, 1, " gamma"},
        {"ALPHA", kName, qEL2_MATCH_ENDS, 0, " alpha"},
        {"eta l", kName, qEL2_MATCH_ENDS, 0, ""},  // contained, not at the end
        {"AMM", kName, 7, 0, " gamma"},            // unknown modes contain
        {"alpha", 0, qEL2_MATCH_CONTAINS, 0, ""},  // no fields, no match
        // An empty pattern is contained nowhere but begins and ends every
        // present value (gamma has no owner).
        {"", kName | kOwners, qEL2_MATCH_CONTAINS, 0, ""},
        {"", kOwners, qEL2_MATCH_BEGINS, 0, " alpha beta"},
        {"", kOwners, qEL2_MATCH_ENDS, 1, " alpha"},
        {"carol", kOwners, qEL2_MATCH_EXACT, 0, " alpha"},  // an other owner
    };
    for (const Case& c : cases) {
        EXPECT_EQ(scan(c.pattern, c.fields, c.mode, c.limit), c.found)
            << '"' << c.pattern << "\" fields " << c.fields << " mode " << c.mode << " limit "
            << c.limit;
    }
}

TEST_F(QueryTest, ADamagedCalendarFailsItsReadAndTheWalkSkipsIt) {
    // alpha's value: a string list whose count runs past its end.
    openStore(
        R"({"calendars": [{"id": "gamma"}, {"id": "alpha", "raw_value_hex": "00000001000000027fffffff"},
                                {"id": "beta"}]})");
    qEL2_CALPROPS* cal = nullptr;
    EXPECT_EQ(qel2_pvt_ReadCalProps(const_cast<char*>("alpha"), &cal), 22);
    EXPECT_EQ(cal, nullptr);
    const std::string key = qel2::tools::ToHex(qel2::mkstore::Md5("alpha").data(), 16);
    EXPECT_EQ(count(3, "qel2_pvt_ReadCalProps: calprops.db: value of key " + key +
                           " cannot be decoded (22)\n"),
              1);

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
