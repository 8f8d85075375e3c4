// Calendar properties into the server's record: access bits, the access
// list ("@" policies, owner entries) and the primary-owner line.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "mapping_fixtures.h"

namespace {

using qel2test::PrOutput;
using qel2test::StringList;

// Read and write level 3 ("control") put no entries of their own into the
// access list, so only the mapping's own entries remain.
constexpr uint32_t kControlLevels = 0x33;

struct Entry {
    std::string principal;
    std::string rights;
    int32_t inherit;
    bool operator==(const Entry&) const = default;
};

std::vector<Entry> Entries(const array_t* acl) {
    std::vector<Entry> entries;
    for (uint32_t i = 0; acl != nullptr && i < acl->count; ++i) {
        const auto* ace = static_cast<const CALDB_ACE*>(array_elementat(acl, i));
        EXPECT_EQ(ace->grant, 1);
        EXPECT_EQ(ace->scope, 1);
        entries.push_back({ace->principal, ace->rights, ace->inherit});
    }
    return entries;
}

struct Calendar {
    qEL2_CALPROPS* source = static_cast<qEL2_CALPROPS*>(calloc(1, sizeof(qEL2_CALPROPS)));
    CALDB_CALPROPS* target = caldb_NewCalProps();
    Calendar(const char* id, const char* owner) {
        source->accessFlags = kControlLevels;
        source->pRelativeCalID = id ? strdup(id) : nullptr;
        source->pPrimaryOwner = owner ? strdup(owner) : nullptr;
    }
    ~Calendar() {
        qel2_FreeCalProps(&source);
        caldb_FreeCalProps(&target);
    }
    int32_t Map(int32_t s, int32_t f, PRFileDesc* out = nullptr, int32_t printOwner = 0,
                int32_t traceLevel = 0) {
        return CalPropsMapping(source, &target, s, f, printOwner, out, traceLevel);
    }
};

struct PolicyCase {
    int32_t s, f;
    const char* ownRights;    // on the primary owner's own calendar
    const char* otherRights;  // on any other calendar
};

std::ostream& operator<<(std::ostream& out, const PolicyCase& c) {
    return out << "sPolicy " << c.s << ", fPolicy " << c.f;
}

class EveryonePolicy : public testing::TestWithParam<PolicyCase> {};

std::vector<Entry> EveryoneEntry(const char* rights) {
    if (rights == nullptr) return {};
    return {{"@", rights, 1}};
}

TEST_P(EveryonePolicy, GivesTheRightsOfTheTable) {
    const PolicyCase& c = GetParam();
    Calendar own("jdoe", "jdoe");
    ASSERT_EQ(own.Map(c.s, c.f), 0);
    EXPECT_EQ(Entries(own.target->acl), EveryoneEntry(c.ownRights));

    Calendar other("jdoe-team", "jdoe");
    ASSERT_EQ(other.Map(c.s, c.f), 0);
    EXPECT_EQ(Entries(other.target->acl), EveryoneEntry(c.otherRights));
}

INSTANTIATE_TEST_SUITE_P(AllPairs, EveryonePolicy, testing::Values(
    PolicyCase{0, 0, "sf", "sf"}, PolicyCase{0, 1, "sf", "s"}, PolicyCase{0, 2, "s", "s"},
    PolicyCase{1, 0, "sf", "f"}, PolicyCase{1, 1, "sf", nullptr}, PolicyCase{1, 2, "s", nullptr},
    PolicyCase{2, 0, "f", "f"}, PolicyCase{2, 1, "f", nullptr}, PolicyCase{2, 2, nullptr, nullptr},
    PolicyCase{3, 0, nullptr, nullptr}, PolicyCase{0, -1, nullptr, nullptr},
    PolicyCase{-1, 1, nullptr, nullptr}, PolicyCase{0, 3, nullptr, nullptr}));

TEST(CalPropsMapping, MissingOwnerOrIdNeverMakesTheOwnersCalendar) {
    for (auto [id, owner] : {std::pair<const char*, const char*>{nullptr, "jdoe"},
                             {"jdoe", nullptr}, {nullptr, nullptr}}) {
        Calendar cal(id, owner);
        ASSERT_EQ(cal.Map(1, 1), 0);
        EXPECT_TRUE(Entries(cal.target->acl).empty());
    }
}

TEST(CalPropsMapping, OtherOwnersGetReadThenWriteDeleteEntriesInOrder) {
    Calendar cal("team", "jdoe");
    cal.source->pOtherOwners = StringList({"a", "b"});
    ASSERT_EQ(cal.Map(2, 2), 0);
    const std::vector<Entry> expected = {{"a", "r", 1}, {"a", "wd", 0}, {"b", "r", 1}, {"b", "wd", 0}};
    EXPECT_EQ(Entries(cal.target->acl), expected);
    ASSERT_NE(cal.target->owners, nullptr);
    EXPECT_EQ(cal.target->owners->count, 0u);
}

TEST(CalPropsMapping, AccessLevelEntriesComeFirstThenEveryoneThenOwners) {
    Calendar cal("team", "jdoe");
    cal.source->accessFlags = 0x02 | 0x40;  // read domain, write level 4 (primary)
    cal.source->pOtherOwners = StringList({"a"});
    ASSERT_EQ(cal.Map(0, 2), 0);
    const std::vector<Entry> expected = {
        {"@domain", "r", 1}, {"@primary", "w", 0}, {"@", "s", 1}, {"a", "r", 1}, {"a", "wd", 0}};
    EXPECT_EQ(Entries(cal.target->acl), expected);
}

TEST(CalPropsMapping, CopiesAccessBitsClearsFlag11AndKeepsTheServersBits) {
    Calendar cal("team", "jdoe");
    cal.source->accessFlags = 0x1 | 0x4 << 4 | qEL2_CAL_FLAG8 | qEL2_CAL_DISABLED | 0xFFFFFC00u;
    cal.target->access_flags = 0xA5A5ADA5u;  // bit 11 set; bits 10 and 12-31 are the server's
    ASSERT_EQ(cal.Map(2, 2), 0);
    const uint32_t flags = cal.target->access_flags;
    EXPECT_EQ(caldb_CalReadAccess(flags), 1u);
    EXPECT_EQ(caldb_CalWriteAccess(flags), 4u);
    EXPECT_TRUE(caldb_CalFlag8(flags));
    EXPECT_TRUE(caldb_CalDisabled(flags));
    EXPECT_FALSE(caldb_CalFlag11(flags));
    EXPECT_EQ(flags & 0xFFFFF400u, 0xA5A5ADA5u & 0xFFFFF400u);

    cal.source->accessFlags = 0;
    ASSERT_EQ(cal.Map(2, 2), 0);
    EXPECT_EQ(cal.target->access_flags, 0xA5A5ADA5u & 0xFFFFF400u);
}

TEST(CalPropsMapping, CopiesOutliveTheSource) {
    Calendar cal("team", "jdoe");
    cal.source->pParentCalID = strdup("root");
    cal.source->pChildList = StringList({"c1", "c2"});
    cal.source->lHostData3 = 77;
    ASSERT_EQ(cal.Map(2, 2), 0);
    qel2_FreeCalProps(&cal.source);
    EXPECT_STREQ(cal.target->parent_calid, "root");
    EXPECT_STREQ(cal.target->primary_owner, "jdoe");
    EXPECT_EQ(cal.target->description, nullptr);
    ASSERT_EQ(cal.target->children->count, 2u);
    EXPECT_STREQ(strarray_elementat(cal.target->children, 1), "c2");
    EXPECT_EQ(cal.target->categories->count, 0u);  // absent lists give empty arrays
    EXPECT_EQ(cal.target->host_data3, 77u);
}

TEST(CalPropsMapping, PrintsThePrimaryOwnerWhenAskedOrTracing) {
    struct { int32_t printOwner, traceLevel; bool printed; } cases[] = {
        {0, 0, false}, {0, 1, true}, {1, 0, true}, {0, 2, true}, {0, -1, false}};
    for (const auto& c : cases) {
        Calendar cal("team", "jdoe");
        PrOutput out;
        ASSERT_EQ(cal.Map(2, 2, out.fd(), c.printOwner, c.traceLevel), 0);
        EXPECT_EQ(out.text(), c.printed ? "Primary Owner: jdoe\n" : "")
            << c.printOwner << "/" << c.traceLevel;
    }
}

TEST(HostAccessList, LevelsMapToPrincipalsAndAPreviousListIsReplaced) {
    array_t* acl = nullptr;
    ASSERT_EQ(acl_misc_read_write_bits_to_acl(0x01 | 0x00 << 4, &acl), 0);
    EXPECT_EQ(Entries(acl), (std::vector<Entry>{{"@", "r", 1}, {"@owners", "w", 0}}));
    ASSERT_EQ(acl_misc_read_write_bits_to_acl(0x03 | 0x05 << 4, &acl), 0);
    EXPECT_TRUE(Entries(acl).empty());  // control and unknown levels grant nothing
    acl_caldb_FreeACL(&acl);
    EXPECT_EQ(acl, nullptr);

    EXPECT_EQ(acl_caldb_ace_NEW(1, 1, 1, "@", "rx"), nullptr);
    EXPECT_EQ(acl_caldb_ace_NEW(1, 1, 2, "@", "r"), nullptr);
    EXPECT_EQ(acl_caldb_ace_NEW(1, 1, 1, "", "r"), nullptr);
}

}  // namespace
