// Calendar properties into the server's record: access bits, the access
// list ("@" policies, owner entries) and the primary-owner line.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <qel2/mapping.h>
#include <qel2/standin_host.h>

#include "support/pr_capture.h"
#include "support/string_list.h"

namespace {

using qel2::test::PrCapture;
using qel2::test::StringList;

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

std::vector<Entry> EveryoneEntry(const char* rights) {
    if (rights == nullptr) return {};
    return {{"@", rights, 1}};
}

TEST(CalPropsMapping, EveryonePolicyGivesTheRightsOfTheTable) {
    // Rights of "@" on the primary owner's own calendar and on any other.
    const struct {
        int32_t s, f;
        const char *own, *other;
    } policies[] = {{0, 0, "sf", "sf"},       {0, 1, "sf", "s"},         {0, 2, "s", "s"},
                    {1, 0, "sf", "f"},        {1, 1, "sf", nullptr},     {1, 2, "s", nullptr},
                    {2, 0, "f", "f"},         {2, 1, "f", nullptr},      {2, 2, nullptr, nullptr},
                    {3, 0, nullptr, nullptr}, {0, -1, nullptr, nullptr}, {-1, 1, nullptr, nullptr},
                    {0, 3, nullptr, nullptr}};
    for (const auto& p : policies) {
        SCOPED_TRACE("sPolicy " + std::to_string(p.s) + ", fPolicy " + std::to_string(p.f));
        for (auto [id, rights] : {std::pair{"jdoe", p.own}, {"jdoe-team", p.other}}) {
            Calendar cal(id, "jdoe");
            ASSERT_EQ(cal.Map(p.s, p.f), 0);
            EXPECT_EQ(Entries(cal.target->acl), EveryoneEntry(rights)) << id;
        }
    }
}

TEST(CalPropsMapping, MissingOwnerOrIdNeverMakesTheOwnersCalendar) {
    for (auto [id, owner] :
         {std::pair<const char*, const char*>{nullptr, "jdoe"}, {"jdoe", nullptr}}) {
        Calendar cal(id, owner);
        ASSERT_EQ(cal.Map(1, 1), 0);
        EXPECT_TRUE(Entries(cal.target->acl).empty());
    }
}

// Other owners go into the access list, never into the owners list.
TEST(CalPropsMapping, AccessLevelEntriesComeFirstThenEveryoneThenOwners) {
    Calendar cal("team", "jdoe");
    cal.source->accessFlags = 0x02 | 0x40;  // read domain, write level 4 (primary)
    cal.source->pOtherOwners = StringList({"a", "b"});
    ASSERT_EQ(cal.Map(0, 2), 0);
    const std::vector<Entry> expected = {{"@domain", "r", 1}, {"@primary", "w", 0}, {"@", "s", 1},
                                         {"a", "r", 1},       {"a", "wd", 0},       {"b", "r", 1},
                                         {"b", "wd", 0}};
    EXPECT_EQ(Entries(cal.target->acl), expected);
    ASSERT_NE(cal.target->owners, nullptr);
    EXPECT_EQ(cal.target->owners->count, 0u);
}

TEST(CalPropsMapping, CopiesAccessBitsClearsFlag11AndKeepsTheServersBits) {
    Calendar cal("team", "jdoe");
    cal.source->accessFlags = 0x1 | 0x4 << 4 | qEL2_CAL_FLAG8 | qEL2_CAL_DISABLED | 0xFFFFFC00u;
    cal.target->access_flags = 0xA5A5ADA5u;  // bit 11 set; bits 10 and 12-31 are the server's
    ASSERT_EQ(cal.Map(2, 2), 0);
    // Read 1, write 4, flag8 and disabled copied; the server's bits kept.
    EXPECT_EQ(cal.target->access_flags,
              (0xA5A5ADA5u & 0xFFFFF400u) | 0x1 | 0x4 << 4 | 0x100 | 0x200);
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
    EXPECT_EQ(qel2::test::Strings(cal.target->children), (std::vector<std::string>{"c1", "c2"}));
    EXPECT_EQ(cal.target->categories->count, 0u);  // absent lists give empty arrays
    EXPECT_EQ(cal.target->host_data3, 77u);
}

TEST(CalPropsMapping, PrintsThePrimaryOwnerWhenAskedOrTracing) {
    struct {
        int32_t printOwner, traceLevel;
        bool printed;
    } cases[] = {{0, 0, false}, {0, 1, true}, {1, 0, true}};
    for (const auto& c : cases) {
        Calendar cal("team", "jdoe");
        PrCapture out;
        ASSERT_EQ(cal.Map(2, 2, out.fd(), c.printOwner, c.traceLevel), 0);
        EXPECT_EQ(out.text(), c.printed ? "Primary Owner: jdoe\n" : "")
            << c.printOwner << "/" << c.traceLevel;
    }
}

}  // namespace
