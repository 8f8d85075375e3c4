// The store written by a genuine Berkeley DB 4.2.52: its region files need
// one recovery open, after which the store opens and counts as its
// manifest says.

#include <cstdlib>

#include <qel2/qel2.h>

#include "store_fixture.h"
#include "support/legacy42_manifest.h"

namespace qel2::test {
namespace {

TEST_F(StoreTest, LegacyStoreNeedsOneRecoveryOpenThenCountsAsItsManifestSays) {
    const std::string archive = (test_data_dir() / "legacy42-store.tar.gz").string();
    ASSERT_EQ(std::system(("tar -xzf '" + archive + "' -C '" + dir_.str() + "'").c_str()), 0);
    const std::string store = dir_.str() + "/legacy42-store";

    // A plain open fails and names the remedy, with Berkeley DB's own words.
    EXPECT_EQ(qel2_pvt_OpenDB(0, 0, store.c_str()), 2);
    EXPECT_EQ(count(3, "qel2_InitializeEnvironment: dbenv->open returned 22\n"), 1);
    EXPECT_EQ(count(3,
                    "qel2_InitializeEnvironment: the store's region files were left by an "
                    "older Berkeley DB; open it once with recovery (DB_RECOVER) to replace "
                    "them\n"),
              1);
    EXPECT_TRUE(hasPrefix(3, "Error with calendar database: "));
    EXPECT_EQ(gCalDB.dbenv, nullptr);
    ASSERT_EQ(qel2_pvt_CloseDB(), 0);

    ASSERT_EQ(qel2_pvt_OpenDB(0, kRecover42, store.c_str()), 0);
    ASSERT_EQ(qel2_pvt_CloseDB(), 0);  // releases the home directory the recovery kept
    log_.clear();  // Berkeley DB reports the old regions while recovery replaces them
    ASSERT_EQ(qel2_pvt_OpenDB(qEL2_THREAD_CHECKPOINT | qEL2_THREAD_DEADLOCK, 0, store.c_str()), 0);
    set("caldb.berkeleydb.homedir.path", store);
    qEL2_DB_STATISTICS stats;
    ASSERT_EQ(qel2_pvt_GetStats(&stats, qEL2_STATS_FILE_SIZE | qEL2_STATS_CALPROPS |
                                            qEL2_STATS_EVENTS | qEL2_STATS_TODOS),
              0);
    const auto& counts = Legacy42Manifest()["record_counts"];
    EXPECT_EQ(stats.nCalProps, counts["calprops.db"].get<uint32_t>());
    EXPECT_EQ(stats.nEvents, counts["events.db"].get<uint32_t>());
    EXPECT_EQ(stats.nToDos, counts["todos.db"].get<uint32_t>());
    EXPECT_EQ(stats.nAlarms, counts["alarms.db"].get<uint32_t>());
    uint32_t size = 0;
    for (const char* file : {"/events.db", "/todos.db", "/calprops.db", "/alarms.db"})
        size += std::filesystem::file_size(store + file);
    EXPECT_EQ(stats.nTotalFileSize, size);
    char version[64];
    ASSERT_EQ(qel2_pvt_GetDBVersion(version, sizeof version), 0);
    EXPECT_STREQ(version, kStoreVersion);
    EXPECT_EQ(qel2_pvt_CloseDB(), 0);
    for (const LogLine& line : log_.lines()) EXPECT_GT(line.level, 3) << line.text;
}

}  // namespace
}  // namespace qel2::test
