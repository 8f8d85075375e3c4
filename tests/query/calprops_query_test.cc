// Calendar properties by id, by walk and by search.

#include <cstring>

#include <gmock/gmock.h>

#include "query_store.h"
#include "hex.h"
#include "record_keys.h"

namespace qel2test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<std::string> Ids(const array_t* list) {
    std::vector<std::string> ids;
    for (uint32_t i = 0; list != nullptr && i < list->count; ++i) {
        ids.push_back(At<qEL2_CALPROPS>(list, i)->pRelativeCalID);
    }
    return ids;
}

class CalPropsQueryTest : public QueryTest {
protected:
    // Walk order is the order of the ids' digests: gamma, alpha, beta.
    void SetUp() override {
        QueryTest::SetUp();
        addCalendar("alpha", "Team Alpha", "ann", {"Bob", "carol"});
        addCalendar("beta", "Beta lab", "bob");
        addCalendar("gamma", "GAMMA", "");
        openStore();
    }
    std::vector<std::string> search(const char* pattern, uint32_t fields, uint32_t mode, uint32_t limit = 0) {
        array_t* raw = nullptr;
        EXPECT_EQ(qel2_pvt_SearchCalProps(pattern, fields, mode, limit, &raw), 0);
        CalPropsList list(raw);
        EXPECT_NE(raw, nullptr);
        return Ids(raw);
    }
};

int KeepNone(const qEL2_CALPROPS*, const void*) { return 0; }
int KeepAll(const qEL2_CALPROPS*, const void*) { return 1; }

TEST_F(CalPropsQueryTest, AnIdNotStoredIsDbNotFoundInTheHostsNumbering) {
    qEL2_CALPROPS* cal = reinterpret_cast<qEL2_CALPROPS*>(&log_);  // anything but null
    EXPECT_EQ(qel2_pvt_ReadCalProps(const_cast<char*>("Alpha"), &cal), -30990);
    EXPECT_EQ(cal, nullptr);
    EXPECT_THAT(log_.lines(), IsEmpty());
}

TEST_F(CalPropsQueryTest, ReadByIdCarriesTheHashAWalkDoesNot) {
    qel2mk::CalPropsPtr alpha = calendar("alpha");
    ASSERT_TRUE(alpha);
    EXPECT_STREQ(alpha->pName, "Team Alpha");
    EXPECT_TRUE(qel2_CalHashValid(alpha.get()));
    EXPECT_EQ(memcmp(alpha->idHash, qel2mk::Md5("alpha").data(), 16), 0);

    array_t* raw = nullptr;
    ASSERT_EQ(qel2_pvt_ScanCalProps(&raw, 0, nullptr, KeepAll), 0);
    CalPropsList list(raw);
    ASSERT_THAT(Ids(raw), ElementsAre("gamma", "alpha", "beta"));
    const unsigned char zero[16] = {};
    for (uint32_t i = 0; i < raw->count; ++i) {
        EXPECT_FALSE(qel2_CalHashValid(At<qEL2_CALPROPS>(raw, i)));
        EXPECT_EQ(memcmp(At<qEL2_CALPROPS>(raw, i)->idHash, zero, 16), 0);
    }
}

TEST_F(CalPropsQueryTest, CountLimitCountsOnlyKeptRecordsAndAFilterKeepingNothingGivesAnEmptyList) {
    EXPECT_THAT(search("a", qEL2_SEARCH_CALID, qEL2_MATCH_CONTAINS, 0), ElementsAre("gamma", "alpha", "beta"));
    // gamma is dropped by the filter and does not use up the limit.
    EXPECT_THAT(search("alpha", qEL2_SEARCH_CALID, qEL2_MATCH_EXACT, 1), ElementsAre("alpha"));
    EXPECT_THAT(search("a", qEL2_SEARCH_CALID, qEL2_MATCH_CONTAINS, 1), ElementsAre("gamma"));

    array_t* raw = nullptr;
    ASSERT_EQ(qel2_pvt_ScanCalProps(&raw, 0, nullptr, KeepNone), 0);
    CalPropsList list(raw);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(raw->count, 0u);
}

TEST_F(CalPropsQueryTest, SearchModesOverIdNameAndOwners) {
    EXPECT_THAT(search("TEAM", qEL2_SEARCH_NAME, qEL2_MATCH_BEGINS), ElementsAre("alpha"));
    EXPECT_THAT(search("ALPHA", qEL2_SEARCH_NAME, qEL2_MATCH_ENDS), ElementsAre("alpha"));
    EXPECT_THAT(search("lab", qEL2_SEARCH_NAME, qEL2_MATCH_ENDS), ElementsAre("beta"));
    EXPECT_THAT(search("eta l", qEL2_SEARCH_NAME, qEL2_MATCH_ENDS), IsEmpty()) << "contained is not at the end";
    EXPECT_THAT(search("gamma", qEL2_SEARCH_NAME, qEL2_MATCH_EXACT), IsEmpty()) << "exact is case significant";
    EXPECT_THAT(search("GAMMA", qEL2_SEARCH_NAME, qEL2_MATCH_EXACT), ElementsAre("gamma"));
    EXPECT_THAT(search("AMM", qEL2_SEARCH_NAME, 7), ElementsAre("gamma")) << "unknown modes contain";
    EXPECT_THAT(search("alpha", 0, qEL2_MATCH_CONTAINS), IsEmpty()) << "no fields, no match";

    // An empty pattern: contained nowhere, but begins and ends every
    // present value (gamma has no owner).
    EXPECT_THAT(search("", qEL2_SEARCH_NAME | qEL2_SEARCH_OWNERS, qEL2_MATCH_CONTAINS), IsEmpty());
    EXPECT_THAT(search("", qEL2_SEARCH_OWNERS, qEL2_MATCH_BEGINS), ElementsAre("alpha", "beta"));
    EXPECT_THAT(search("", qEL2_SEARCH_OWNERS, qEL2_MATCH_ENDS), ElementsAre("alpha", "beta"));
}

TEST_F(CalPropsQueryTest, OwnersAreFoundInTheOtherOwnersList) {
    EXPECT_THAT(search("CAROL", qEL2_SEARCH_OWNERS, qEL2_MATCH_EXACT), IsEmpty());
    EXPECT_THAT(search("carol", qEL2_SEARCH_OWNERS, qEL2_MATCH_EXACT), ElementsAre("alpha"));
    EXPECT_THAT(search("bob", qEL2_SEARCH_OWNERS, qEL2_MATCH_CONTAINS), ElementsAre("alpha", "beta"));
    EXPECT_THAT(search("carol", qEL2_SEARCH_CALID | qEL2_SEARCH_NAME, qEL2_MATCH_CONTAINS), IsEmpty());
}

TEST_F(CalPropsQueryTest, ASearchWithoutPatternListsEveryCalendarWithItsHash) {
    array_t* raw = nullptr;
    ASSERT_EQ(qel2_pvt_SearchCalProps(nullptr, 0, 0, 0, &raw), 0);
    CalPropsList list(raw);
    ASSERT_THAT(Ids(raw), ElementsAre("gamma", "alpha", "beta"));
    for (uint32_t i = 0; i < raw->count; ++i) {
        const qEL2_CALPROPS* cal = At<qEL2_CALPROPS>(raw, i);
        EXPECT_TRUE(qel2_CalHashValid(cal));
        EXPECT_EQ(memcmp(cal->idHash, qel2mk::Md5(cal->pRelativeCalID).data(), 16), 0);
    }
}

class DamagedCalendarTest : public QueryTest {};

TEST_F(DamagedCalendarTest, ReadFailsCleanlyAndTheWalkSkipsIt) {
    addCalendar("gamma");
    addDamaged(qel2mk::Database::CalProps, "alpha", "");
    addCalendar("beta");
    openStore();
    qEL2_CALPROPS* cal = nullptr;
    EXPECT_EQ(qel2_pvt_ReadCalProps(const_cast<char*>("alpha"), &cal), 22);
    EXPECT_EQ(cal, nullptr);
    const std::string key = qel2mk::ToHex(qel2mk::Md5("alpha").data(), 16);
    EXPECT_EQ(count(3, "qel2_pvt_ReadCalProps: calprops.db: value of key " + key + " cannot be decoded (22)\n"), 1);

    log_.clear();
    array_t* raw = nullptr;
    ASSERT_EQ(qel2_pvt_ScanCalProps(&raw, 0, nullptr, KeepAll), 0);
    CalPropsList list(raw);
    EXPECT_THAT(Ids(raw), ElementsAre("gamma", "beta"));
    EXPECT_EQ(count(3, "qel2_pvt_ScanCalProps: calprops.db: value of key " + key + " cannot be decoded (22)\n"), 1);
    EXPECT_EQ(log_.lines().size(), 1u);
}

}  // namespace
}  // namespace qel2test
