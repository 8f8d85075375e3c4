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

using qel2::test::StringList;
using Texts = std::vector<std::string>;

// A calendar `id` of `owner` and the host record it is mapped into. Read
// and write level 3 ("control") put no entries of their own into the access
// list, so only the mapping's own entries remain.
struct Calendar {
    qEL2_CALPROPS* source = static_cast<qEL2_CALPROPS*>(calloc(1, sizeof(qEL2_CALPROPS)));
    CALDB_CALPROPS* target = caldb_NewCalProps();
    Calendar(const char* id, const char* owner, uint32_t access = 0x33) {
        source->accessFlags = access;
        source->pRelativeCalID = id ? strdup(id) : nullptr;
        source->pPrimaryOwner = owner ? strdup(owner) : nullptr;
    }
    ~Calendar() {
        qel2_FreeCalProps(&source);
        caldb_FreeCalProps(&target);
    }
    int32_t Map(int32_t s, int32_t f, PRFileDesc* out = nullptr, int32_t print = 0,
                int32_t trace = 0) {
        return CalPropsMapping(source, &target, s, f, print, out, trace);
    }
    // The access list as "principal rights inherit" entries, all granted
    // for this calendar's scope.
    Texts Acl() const {
        Texts entries;
        for (uint32_t i = 0; target->acl != nullptr && i < target->acl->count; ++i) {
            const auto* ace = static_cast<const CALDB_ACE*>(array_elementat(target->acl, i));
            EXPECT_EQ(std::pair(ace->grant, ace->scope), std::pair(1, 1));
            entries.push_back(std::string(ace->principal) + " " + ace->rights + " " +
                              std::to_string(ace->inherit));
        }
        return entries;
    }
};

// The rights of "@" on the owner's own calendar and on any other, for each
// pair of policies; a missing owner or id never makes the owner's calendar.
TEST(CalPropsMapping, EveryonePolicyGivesItsRights) {
    const struct {
        int32_t s, f;
        const char *own, *other;
    } policies[] = {{0, 0, "sf", "sf"}, {0, 1, "sf", "s"}, {0, 2, "s", "s"}, {1, 0, "sf", "f"},
                    {1, 1, "sf", ""},   {1, 2, "s", ""},   {2, 0, "f", "f"}, {2, 1, "f", ""},
                    {2, 2, "", ""},     {3, 0, "", ""},    {0, -1, "", ""},  {-1, 1, "", ""},
                    {0, 3, "", ""}};
    for (const auto& p : policies) {
        for (auto [id, owner, rights] : {std::tuple{"jdoe", "jdoe", p.own},
                                         {"jdoe-team", "jdoe", p.other},
                                         {nullptr, "jdoe", p.other},
                                         {"jdoe", nullptr, p.other}}) {
            Calendar cal(id, owner);
            ASSERT_EQ(cal.Map(p.s, p.f), 0);
            EXPECT_EQ(cal.Acl(), *rights ? Texts{std::string("@ ") + rights + " 1"} : Texts{})
                << "policies " << p.s << " " << p.f << ", calendar " << (id ? id : "(null)")
                << " of " << (owner ? owner : "(null)");
        }
    }
}

// Access-level entries first, then everyone, then the other owners, who go
// into the access list, never into the owners list.
TEST(CalPropsMapping, AccessLevelEntriesComeFirstThenEveryoneThenOwners) {
    Calendar cal("team", "jdoe", 0x02 | 0x40);  // read domain, write level 4 (primary)
    cal.source->pOtherOwners = StringList({"a", "b"});
    ASSERT_EQ(cal.Map(0, 2), 0);
    EXPECT_EQ(cal.Acl(), (Texts{"@domain r 1", "@primary w 0", "@ s 1", "a r 1", "a wd 0", "b r 1",
                                "b wd 0"}));
    ASSERT_NE(cal.target->owners, nullptr);
    EXPECT_EQ(cal.target->owners->count, 0u);
}

// The source is released before the checks: a shared field would show as
// a use after free (AddressSanitizer).
TEST(CalPropsMapping, CopiesFieldsAndAccessBitsKeepsTheServersBits) {
    Calendar cal("team", "jdoe", 0x1 | 0x4 << 4 | qEL2_CAL_FLAG8 | qEL2_CAL_DISABLED | 0xFFFFFC00u);
    cal.target->access_flags = 0xA5A5ADA5u;  // bit 11 set; bits 10 and 12-31 are the server's
    cal.source->pParentCalID = strdup("root");
    cal.source->pChildList = StringList({"c1", "c2"});
    cal.source->lHostData3 = 77;
    ASSERT_EQ(cal.Map(2, 2), 0);
    qel2_FreeCalProps(&cal.source);
    // Read 1, write 4, flag8 and disabled copied, flag 11 cleared.
    EXPECT_EQ(cal.target->access_flags,
              (0xA5A5ADA5u & 0xFFFFF400u) | 0x1 | 0x4 << 4 | 0x100 | 0x200);
    EXPECT_STREQ(cal.target->parent_calid, "root");
    EXPECT_STREQ(cal.target->primary_owner, "jdoe");
    EXPECT_EQ(cal.target->description, nullptr);
    EXPECT_EQ(qel2::test::Strings(cal.target->children), (Texts{"c1", "c2"}));
    EXPECT_EQ(cal.target->categories->count, 0u);  // absent lists give empty arrays
    EXPECT_EQ(cal.target->host_data3, 77u);
}

TEST(CalPropsMapping, PrintsThePrimaryOwnerWhenAskedOrTracing) {
    for (auto [print, trace, printed] : {std::tuple{0, 0, false}, {0, 1, true}, {1, 0, true}}) {
        Calendar cal("team", "jdoe");
        qel2::test::PrCapture out;
        ASSERT_EQ(cal.Map(2, 2, out.fd(), print, trace), 0);
        EXPECT_EQ(out.text(), printed ? "Primary Owner: jdoe\n" : "") << print << "/" << trace;
    }
}

}  // namespace
