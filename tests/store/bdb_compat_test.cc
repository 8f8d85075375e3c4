// What the boundary does with numbers it has no twin for: a result 4.2 does
// not know and a flag bit 4.2's call did not take are refused with a line,
// never passed on as something else.

#include <cerrno>

#include <gtest/gtest.h>

#include <db.h>

#include "store/bdb_compat.h"
#include "store_fixture.h"

namespace qel2::test {
namespace {

using BdbCompatTest = StoreTest;

TEST_F(BdbCompatTest, ResultsWithout42TwinBecomeEinvalWithALineNamingThem) {
    EXPECT_EQ(qel2_pvt_ResultTo42(DB_NOTFOUND), -30990);
    EXPECT_EQ(qel2_pvt_ResultTo42(DB_TIMEOUT), EINVAL);
    EXPECT_TRUE(hasPrefix(3, "qel2_pvt_ResultTo42: DB_TIMEOUT ("));
    EXPECT_EQ(qel2_pvt_ResultTo42(-30850), EINVAL);
    EXPECT_TRUE(hasPrefix(3, "qel2_pvt_ResultTo42: unknown Berkeley DB result -30850"));
    log_.clear();
    for (int passed : {0, ENOENT, ENOSPC, -1, -31000})
        EXPECT_EQ(qel2_pvt_ResultTo42(passed), passed);
    // 4.2 reported a user buffer too small as ENOMEM, without a line.
    EXPECT_EQ(qel2_pvt_ResultTo42(DB_BUFFER_SMALL), ENOMEM);
    EXPECT_TRUE(log_.lines().empty());
}

TEST_F(BdbCompatTest, OpenFlagBitsTheCallDidNotTakeAreRefused) {
    uint32_t flags = 12345;
    EXPECT_EQ(qel2_pvt_DbOpenFlagsFrom42(0x41 | 0x20, &flags), EINVAL);  // DB_RECOVER
    EXPECT_TRUE(hasPrefix(3, "qel2_pvt_DbOpenFlagsFrom42: flag bits 0x20 "));
    EXPECT_EQ(qel2_pvt_EnvOpenFlagsFrom42(0x80000000, &flags), EINVAL);
    EXPECT_TRUE(hasPrefix(3, "qel2_pvt_EnvOpenFlagsFrom42: flag bits 0x80000000 "));
    EXPECT_EQ(qel2_pvt_EnvOpenFlagsFrom42(0x10, &flags), EINVAL);  // DB_RDONLY
    EXPECT_EQ(flags, 12345u) << "a refused word leaves the output alone";
}

}  // namespace
}  // namespace qel2::test
