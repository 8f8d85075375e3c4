// The calendar-properties dump, compared with whole expected texts kept
// in tests/data/dumps.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include <qel2/diag.h>

#include "support/pr_capture.h"
#include "support/string_list.h"
#include "support/temp_dir.h"

namespace {

using qel2::test::StringList;

class CalPropsDump : public ::testing::Test {
protected:
    void TearDown() override { qel2_FreeCalProps(&cal); }
    std::string Dump(const qEL2_CALPROPS* which) {
        qel2::test::PrCapture out;
        qel2dbut_PrintCalProps(which, out.fd());
        return out.text();
    }
    qEL2_CALPROPS* cal = static_cast<qEL2_CALPROPS*>(calloc(1, sizeof(qEL2_CALPROPS)));
};

TEST_F(CalPropsDump, BareCalendarIsARootWithEmptyLists) {
    EXPECT_EQ(Dump(cal), qel2::test::test_data_text("dumps/calendar-bare.txt"));
}

TEST_F(CalPropsDump, FullCalendarKeepsPercentSignsAndJoinsLists) {
    cal->dtModified = 1137448800;
    cal->dtCreated = 1136073600;
    cal->accessFlags = 0x1 | (0x4 << 4) | qEL2_CAL_FLAG8 | qEL2_CAL_DISABLED;
    cal->pDescription = strdup("Team calendar");
    cal->pParentCalID = strdup("org");
    cal->pRelativeCalID = strdup("org/team");
    cal->pCalMaster = strdup("100%s");
    cal->pName = strdup("50% %n off");
    cal->pCharSet = strdup("%d%%");
    cal->pLanguage = strdup("%x");
    cal->pPrimaryOwner = strdup("alice");
    cal->pOtherOwners = StringList({"a", "b", "c"});
    cal->pChildList = StringList({"org/team/x", nullptr, "org/team/y"});
    cal->pCategoryList = StringList({"work"});
    EXPECT_EQ(Dump(cal), qel2::test::test_data_text("dumps/calendar-full.txt"));
}

TEST_F(CalPropsDump, AccessValuesWithoutANameStayVisible) {
    cal->accessFlags = 0x5 | (0xF << 4);
    EXPECT_NE(Dump(cal).find("\nReadAccess = \nWriteAccess = unknown(15)\n"), std::string::npos);
}

}  // namespace
