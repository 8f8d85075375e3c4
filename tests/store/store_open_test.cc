// Opening and closing the store: the states gCalDB goes through and every
// way an open can fail.

#include <bit>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nspr.h>

#include <qel2/qel2.h>

#include "store_fixture.h"
#include "thread_create_fault.h"

namespace qel2::test {
namespace {

namespace fs = std::filesystem;

using StoreOpenTest = StoreTest;

void ExpectOpenWithThreads(int32_t threads) {
    EXPECT_NE(gCalDB.dbenv, nullptr);
    for (DB* db : {gCalDB.pEventDB, gCalDB.pToDoDB, gCalDB.pCalPropsDB, gCalDB.pAlarmDB})
        EXPECT_NE(db, nullptr);
    EXPECT_EQ(RunningThreads(), threads);
    for (PRMonitor* monitor : gCalDB.apMonitors) EXPECT_NE(monitor, nullptr);
}

TEST_F(StoreOpenTest, OpensWithEachThreadSelectionAndClosesAgain) {
    writeConf();
    for (uint32_t threads : {0u, 1u, 2u, 3u}) {
        SCOPED_TRACE(threads);
        ASSERT_EQ(open(threads), 0);
        ExpectOpenWithThreads(std::popcount(threads));
        // 4.2's one lock limit covers locks, lockers and objects alike.
        uint32_t locks = 0, lockers = 0, objects = 0;
        gCalDB.dbenv->get_lk_max_locks(gCalDB.dbenv, &locks);
        gCalDB.dbenv->get_lk_max_lockers(gCalDB.dbenv, &lockers);
        gCalDB.dbenv->get_lk_max_objects(gCalDB.dbenv, &objects);
        EXPECT_EQ(std::vector<uint32_t>({locks, lockers, objects}),
                  std::vector<uint32_t>(3, 50000u));
        EXPECT_EQ(qel2_pvt_CloseDB(), 0);
        ExpectClosed();
    }
    // The databases did not exist: the open created them.
    for (const char* file : {"events.db", "todos.db", "calprops.db", "alarms.db"}) {
        EXPECT_TRUE(fs::exists(dir_.path() / file)) << file;
    }
    // A second close, like a close of a store never opened, does nothing.
    EXPECT_EQ(qel2_pvt_CloseDB(), 0);
    ExpectClosed();

    // Counting on a closed store fails like a cursor that cannot be opened.
    qEL2_DB_STATISTICS stats;
    EXPECT_EQ(qel2_pvt_GetStats(&stats, 2), 1);
    EXPECT_EQ(qel2_pvt_GetStats(&stats, 4), 12);
    EXPECT_EQ(qel2_pvt_GetStats(&stats, 8), 12);
    EXPECT_EQ(count(3, "qel2_pvt_GetStats: pEventDB->cursor() returned 22\n"), 1);
    EXPECT_EQ(count(3, "qel2_pvt_GetStats: pToDoDB->cursor() returned 22\n"), 1);
}

TEST_F(StoreOpenTest, WithoutTheExactVersionTextTheOpenFailsAndLeavesTheEnvironmentForClose) {
    const std::string missing =
        "Failed to locate caldb.conf.  File must exist for opening the Database\n";
    const std::string mismatch =
        "Failed dbversion check. Database may be corrupted or version numbers are mismatched\n";
    const struct {
        const char* conf;
        const std::string& message;
    } cases[] = {
        {nullptr, missing},
        {"caldb.version = \"1.0.0\"\n", mismatch},
        {"caldb.version = \"1.0.0  [BerkeleyDB]\"\n", mismatch},
        {"caldb.version =\n", mismatch},
        {"other.key = 1\n", mismatch},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.conf ? c.conf : "no caldb.conf");
        fs::remove(dir_.path() / "caldb.conf");
        if (c.conf) dir_.write("caldb.conf", c.conf);
        log_.clear();
        EXPECT_EQ(open(3), 2);
        EXPECT_EQ(count(3, c.message), 1);
        EXPECT_NE(gCalDB.dbenv, nullptr);
        EXPECT_EQ(RunningThreads(), 0);
        EXPECT_EQ(qel2_pvt_CloseDB(), 0);
        ExpectClosed();
    }
    writeConf();
    EXPECT_EQ(open(0), 0);
}

TEST_F(StoreOpenTest, ThirdDatabaseFailingClosesAllFourHandles) {
    writeConf();
    fs::create_directory(dir_.path() / "calprops.db");

    int result = open(0);
    EXPECT_NE(result, 0);
    EXPECT_TRUE(
        hasPrefix(3, "qel2_pvt_OpenDBCore: calprops.db: " + std::to_string(result) + " = "));
    for (DB* db : {gCalDB.pEventDB, gCalDB.pToDoDB, gCalDB.pCalPropsDB, gCalDB.pAlarmDB})
        EXPECT_EQ(db, nullptr);
    EXPECT_NE(gCalDB.dbenv, nullptr);
    // Files before the failing one were opened (and so created), the one
    // after it was not.
    EXPECT_TRUE(fs::exists(dir_.path() / "todos.db"));
    EXPECT_FALSE(fs::exists(dir_.path() / "alarms.db"));
}

TEST_F(StoreOpenTest, RecoveryOpensRunRecoveryOnlyAndLeaveTheStoreClosed) {
    writeConf();
    ASSERT_EQ(open(0), 0);
    ASSERT_EQ(qel2_pvt_CloseDB(), 0);
    // Other bits beside a recovery bit do not stop the recovery-only run.
    for (uint32_t flags :
         {kRecover42, 0x200000u /* DB_RECOVER_FATAL */, kRecover42 | 0x20000u /* DB_INIT_TXN */}) {
        SCOPED_TRACE(flags);
        EXPECT_EQ(open(3, flags), 0);
        EXPECT_EQ(gCalDB.dbenv, nullptr);
        EXPECT_EQ(gCalDB.pEventDB, nullptr);
        EXPECT_EQ(RunningThreads(), 0);
        EXPECT_EQ(gCalDB.apMonitors[0], nullptr);
        EXPECT_NE(gCalDB.pszHomeDir, nullptr) << "kept until the next close";
        EXPECT_EQ(qel2_pvt_CloseDB(), 0);
    }
    EXPECT_EQ(open(0), 0);
}

TEST_F(StoreOpenTest, ExplicitHomeDirectoryWinsOverTheConfiguredOne) {
    writeConf();
    TempDir configured;  // no caldb.conf: an open there would fail
    set("caldb.berkeleydb.homedir.path", configured.str());
    std::string home = dir_.str();

    ASSERT_EQ(qel2_pvt_OpenDB(0, 0, home.c_str()), 0);
    EXPECT_STREQ(gCalDB.pszHomeDir, home.c_str());
    EXPECT_NE(gCalDB.pszHomeDir, home.c_str()) << "the record keeps its own copy";
    ASSERT_EQ(qel2_pvt_CloseDB(), 0);

    EXPECT_EQ(qel2_pvt_OpenDB(0, 0, nullptr), 2);
    EXPECT_STREQ(gCalDB.pszHomeDir, configured.str().c_str());
    ASSERT_EQ(qel2_pvt_CloseDB(), 0);
}

TEST_F(StoreOpenTest, FailedThreadCreationReturnsTheNsprErrorOnAClosedStore) {
    writeConf();
    const std::string failure = "failed to create thread (NSPR error " +
                                std::to_string(PR_INSUFFICIENT_RESOURCES_ERROR) + ")\n";
    // The first thread fails; then the second of two, after the deadlock
    // thread has started and must be stopped again.
    for (int successes : {0, 1}) {
        SCOPED_TRACE(successes);
        log_.clear();
        FailThreadCreationAfter(successes);
        EXPECT_EQ(open(3), PR_INSUFFICIENT_RESOURCES_ERROR);
        EXPECT_EQ(count(2, failure), 1);
        ExpectClosed();
    }
    EXPECT_EQ(open(3), 0) << "a later open starts both threads";
    ExpectOpenWithThreads(2);
}

TEST_F(StoreOpenTest, FacadeObjectsShareTheOneStore) {
    writeConf();
    auto* first = new qel2BerkeleyDatabase;
    qel2BerkeleyDatabase second;
    std::string home = dir_.str();
    ASSERT_EQ(first->OpenDB(qEL2_THREAD_DEADLOCK, 0, home.data()), 0);
    delete first;
    ExpectOpenWithThreads(1);  // destroying the object closes nothing
    EXPECT_EQ(second.CloseDB(), 0);
    ExpectClosed();
}

}  // namespace
}  // namespace qel2::test
