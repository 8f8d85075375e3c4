// Editing a decoded calendar: owner and category lists, access levels.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <qel2/diag.h>

#include "owned_records.h"
#include "support/string_list.h"

namespace {

using qel2::test::StringList;
using qel2::test::Strings;
using Texts = std::vector<std::string>;

TEST(CalPropsEdit, ExtendAddsEachNewNameOnceReplaceKeepsDuplicates) {
    qel2::CalPropsPtr cal = qel2::mkstore::NewCalProps();
    char a[] = "a", b[] = "b", bigA[] = "A";
    char* twiceA[] = {a, b, a, nullptr};
    char* more[] = {bigA, b, nullptr};
    ASSERT_EQ(qel2dbut_SetOwners(cal.get(), twiceA, 0), 0);
    EXPECT_EQ(Strings(cal->pOtherOwners), (Texts{"a", "b"}));
    ASSERT_EQ(qel2dbut_SetOwners(cal.get(), more, 0), 0);
    EXPECT_EQ(Strings(cal->pOtherOwners), (Texts{"a", "b", "A"}));
    ASSERT_EQ(qel2dbut_SetOwners(cal.get(), twiceA, 1), 0);
    EXPECT_EQ(Strings(cal->pOtherOwners), (Texts{"a", "b", "a"}));
    EXPECT_EQ(cal->pCategoryList, nullptr);
    // A null element already in the list is passed over, not compared.
    cal->pCategoryList = StringList({nullptr, "b"});
    ASSERT_EQ(qel2dbut_SetCategory(cal.get(), twiceA, 0), 0);
    EXPECT_EQ(Strings(cal->pCategoryList), (Texts{"(null)", "b", "a"}));
    // Replacing with nothing leaves an empty list.
    char* none[] = {nullptr};
    for (char** names : {static_cast<char**>(nullptr), none}) {
        ASSERT_EQ(qel2dbut_SetOwners(cal.get(), twiceA, 0), 0);
        ASSERT_EQ(qel2dbut_SetOwners(cal.get(), names, 1), 0);
        ASSERT_NE(cal->pOtherOwners, nullptr);
        EXPECT_EQ(cal->pOtherOwners->count, 0u);
    }
}

TEST(CalPropsEdit, AccessLevelsTouchOnlyTheirOwnBits) {
    qel2::CalPropsPtr cal = qel2::mkstore::NewCalProps();
    const uint32_t others = qEL2_CAL_FLAG8 | qEL2_CAL_DISABLED | 0xFFFF0000u;
    cal->accessFlags = others | 0x2 | (0x3 << 4);
    EXPECT_EQ(qel2dbut_SetReadAccess(cal.get(), 4), 0);
    EXPECT_EQ(cal->accessFlags, others | 0x4 | (0x3 << 4));
    EXPECT_EQ(qel2dbut_SetWriteAccess(cal.get(), 0), 0);
    EXPECT_EQ(cal->accessFlags, others | 0x4);
    EXPECT_EQ(qel2dbut_SetWriteAccess(cal.get(), 4), 0);
    EXPECT_EQ(cal->accessFlags, others | 0x4 | (0x4 << 4));
    EXPECT_EQ(qel2dbut_SetReadAccess(cal.get(), 5), 1);
    EXPECT_EQ(qel2dbut_SetWriteAccess(cal.get(), 5), 1);
    EXPECT_EQ(cal->accessFlags, others | 0x4 | (0x4 << 4));
}

}  // namespace
