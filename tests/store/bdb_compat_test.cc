// The host's Berkeley DB 4.2 numbers against the linked library's.

#include <cerrno>
#include <string>

#include <gtest/gtest.h>

#include <db.h>

#include "store/bdb_compat.h"
#include "store_fixture.h"

namespace qel2test {
namespace {

using BdbCompatTest = StoreTest;

TEST_F(BdbCompatTest, EveryResultCodeOf42MapsBothWays) {
    // 4.2's result codes, from its documentation; 0: the linked library
    // has no such code.
    const struct { const char* name; int v42, linked; } codes[] = {
        {"DB_DONOTINDEX", -30999, DB_DONOTINDEX}, {"DB_FILEOPEN", -30998, 0},
        {"DB_KEYEMPTY", -30997, DB_KEYEMPTY}, {"DB_KEYEXIST", -30996, DB_KEYEXIST},
        {"DB_LOCK_DEADLOCK", -30995, DB_LOCK_DEADLOCK}, {"DB_LOCK_NOTGRANTED", -30994, DB_LOCK_NOTGRANTED},
        {"DB_NOSERVER", -30993, DB_NOSERVER}, {"DB_NOSERVER_HOME", -30992, 0},
        {"DB_NOSERVER_ID", -30991, 0}, {"DB_NOTFOUND", -30990, DB_NOTFOUND},
        {"DB_OLD_VERSION", -30989, DB_OLD_VERSION}, {"DB_PAGE_NOTFOUND", -30988, DB_PAGE_NOTFOUND},
        {"DB_REP_DUPMASTER", -30987, DB_REP_DUPMASTER}, {"DB_REP_HANDLE_DEAD", -30986, DB_REP_HANDLE_DEAD},
        {"DB_REP_HOLDELECTION", -30985, DB_REP_HOLDELECTION}, {"DB_REP_ISPERM", -30984, DB_REP_ISPERM},
        {"DB_REP_NEWMASTER", -30983, DB_REP_NEWMASTER}, {"DB_REP_NEWSITE", -30982, DB_REP_NEWSITE},
        {"DB_REP_NOTPERM", -30981, DB_REP_NOTPERM}, {"DB_REP_OUTDATED", -30980, 0},
        {"DB_REP_UNAVAIL", -30979, DB_REP_UNAVAIL}, {"DB_RUNRECOVERY", -30978, DB_RUNRECOVERY},
        {"DB_SECONDARY_BAD", -30977, DB_SECONDARY_BAD}, {"DB_VERIFY_BAD", -30976, DB_VERIFY_BAD},
    };
    for (const auto& code : codes) {
        SCOPED_TRACE(code.name);
        log_.clear();
        if (code.linked != 0) {
            EXPECT_EQ(qel2_pvt_ResultFrom42(code.v42), code.linked);
            EXPECT_EQ(qel2_pvt_ResultTo42(code.linked), code.v42);
            EXPECT_TRUE(log_.lines().empty());
        } else {
            EXPECT_EQ(qel2_pvt_ResultFrom42(code.v42), EINVAL);
            EXPECT_TRUE(hasPrefix(3, std::string("qel2_pvt_ResultFrom42: ") + code.name + " ("));
        }
    }
}

TEST_F(BdbCompatTest, CodesWithout42TwinBecomeEinvalWithALineNamingThem) {
    EXPECT_EQ(qel2_pvt_ResultTo42(DB_TIMEOUT), EINVAL);
    EXPECT_TRUE(hasPrefix(3, "qel2_pvt_ResultTo42: DB_TIMEOUT ("));
    EXPECT_EQ(qel2_pvt_ResultTo42(-30850), EINVAL);
    EXPECT_TRUE(hasPrefix(3, "qel2_pvt_ResultTo42: unknown Berkeley DB result -30850"));
    log_.clear();
    for (int passed : {0, ENOENT, ENOSPC, -1, -31000}) EXPECT_EQ(qel2_pvt_ResultTo42(passed), passed);
    // 4.2 reported a user buffer too small as ENOMEM, without a line.
    EXPECT_EQ(qel2_pvt_ResultTo42(DB_BUFFER_SMALL), ENOMEM);
    EXPECT_TRUE(log_.lines().empty());
}

TEST_F(BdbCompatTest, OpenFlagsTranslatePerCallAndBitsTheCallDidNotTakeAreRefused) {
    using Translate = int (*)(uint32_t, uint32_t*);
    const Translate db = qel2_pvt_DbOpenFlagsFrom42, env = qel2_pvt_EnvOpenFlagsFrom42;
    const uint32_t always = DB_CREATE | DB_INIT_LOCK | DB_INIT_LOG | DB_INIT_MPOOL | DB_INIT_TXN;
    const struct { Translate translate; uint32_t v42, linked; } accepted[] = {
        {db, 0x41, DB_CREATE | DB_THREAD},
        {db, 0x3000000 | 0x1000 | 0x80 | 0x18,
         DB_AUTO_COMMIT | DB_READ_UNCOMMITTED | DB_EXCL | DB_TRUNCATE | DB_RDONLY | DB_NOMMAP},
        // The words a normal, a recovery and a catastrophic open hand over.
        {env, 0x2E041, always | DB_THREAD},
        {env, 0x2E421, always | DB_USE_ENVIRON | DB_RECOVER},
        {env, 0x22E401, always | DB_USE_ENVIRON | DB_RECOVER_FATAL},
        {env, 0x1000 | 0x10000 | 0x80000 | 0x100000 | 0x400000 | 0x800,
         DB_INIT_CDB | DB_INIT_REP | DB_LOCKDOWN | DB_PRIVATE | DB_SYSTEM_MEM | DB_USE_ENVIRON_ROOT},
    };
    for (const auto& c : accepted) {
        uint32_t flags = 0;
        EXPECT_EQ(c.translate(c.v42, &flags), 0);
        EXPECT_EQ(flags, c.linked) << std::hex << "0x" << c.v42;
    }
    EXPECT_TRUE(log_.lines().empty());

    uint32_t flags = 12345;
    EXPECT_EQ(db(0x41 | 0x20, &flags), EINVAL);  // DB_RECOVER
    EXPECT_TRUE(hasPrefix(3, "qel2_pvt_DbOpenFlagsFrom42: flag bits 0x20 "));
    EXPECT_EQ(env(0x80000000, &flags), EINVAL);
    EXPECT_TRUE(hasPrefix(3, "qel2_pvt_EnvOpenFlagsFrom42: flag bits 0x80000000 "));
    EXPECT_EQ(env(0x10, &flags), EINVAL);  // DB_RDONLY
    EXPECT_EQ(flags, 12345u) << "a refused word leaves the output alone";
}

}  // namespace
}  // namespace qel2test
