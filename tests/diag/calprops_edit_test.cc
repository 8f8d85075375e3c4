// Editing a decoded calendar: owner and category lists, access levels.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <qel2/diag.h>

#include "support/string_list.h"

namespace {

using qel2::test::StringList;
using qel2::test::Strings;
using Texts = std::vector<std::string>;

class CalPropsEdit : public ::testing::Test {
protected:
    void TearDown() override { qel2_FreeCalProps(&cal); }
    qEL2_CALPROPS* cal = static_cast<qEL2_CALPROPS*>(calloc(1, sizeof(qEL2_CALPROPS)));
    char a[2] = "a", b[2] = "b", bigA[2] = "A";
    char* twiceA[4] = {a, b, a, nullptr};
    char* empty[1] = {nullptr};
};

TEST_F(CalPropsEdit, ExtendAddsEachNewNameOnceReplaceKeepsDuplicates) {
    ASSERT_EQ(qel2dbut_SetOwners(cal, twiceA, 0), 0);
    EXPECT_EQ(Strings(cal->pOtherOwners), (Texts{"a", "b"}));
    char* more[3] = {bigA, b, nullptr};
    ASSERT_EQ(qel2dbut_SetOwners(cal, more, 0), 0);
    EXPECT_EQ(Strings(cal->pOtherOwners), (Texts{"a", "b", "A"}));
    ASSERT_EQ(qel2dbut_SetOwners(cal, twiceA, 1), 0);
    EXPECT_EQ(Strings(cal->pOtherOwners), (Texts{"a", "b", "a"}));
    EXPECT_EQ(cal->pCategoryList, nullptr);

    // A null element already in the list is passed over, not compared.
    cal->pCategoryList = StringList({nullptr, "b"});
    ASSERT_EQ(qel2dbut_SetCategory(cal, twiceA, 0), 0);
    EXPECT_EQ(Strings(cal->pCategoryList), (Texts{"(null)", "b", "a"}));
}

TEST_F(CalPropsEdit, ReplacingWithNothingLeavesAnEmptyList) {
    for (char** names : {static_cast<char**>(nullptr), empty}) {
        cal->pOtherOwners = StringList({"x"});
        ASSERT_EQ(qel2dbut_SetOwners(cal, names, 1), 0);
        ASSERT_NE(cal->pOtherOwners, nullptr);
        EXPECT_EQ(cal->pOtherOwners->count, 0u);
        array_free_and_destroy(&cal->pOtherOwners);
    }
}

TEST_F(CalPropsEdit, AccessLevelsTouchOnlyTheirOwnBits) {
    const uint32_t others = qEL2_CAL_FLAG8 | qEL2_CAL_DISABLED | 0xFFFF0000u;
    cal->accessFlags = others | 0x2 | (0x3 << 4);
    EXPECT_EQ(qel2dbut_SetReadAccess(cal, 4), 0);
    EXPECT_EQ(cal->accessFlags, others | 0x4 | (0x3 << 4));
    EXPECT_EQ(qel2dbut_SetWriteAccess(cal, 0), 0);
    EXPECT_EQ(cal->accessFlags, others | 0x4);
    EXPECT_EQ(qel2dbut_SetWriteAccess(cal, 4), 0);
    EXPECT_EQ(cal->accessFlags, others | 0x4 | (0x4 << 4));
    EXPECT_EQ(qel2dbut_SetReadAccess(cal, 5), 1);
    EXPECT_EQ(qel2dbut_SetWriteAccess(cal, 5), 1);
    EXPECT_EQ(cal->accessFlags, others | 0x4 | (0x4 << 4));
}

}  // namespace
