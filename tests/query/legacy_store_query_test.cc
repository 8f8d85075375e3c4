// The genuine Berkeley DB 4.2 store: every case of its manifest read
// through the facade, alone and from four threads while the maintenance
// threads run. Its values' decoding is checked field by field in
// tests/records; here, what the queries make of them.

#include <cstdlib>
#include <thread>

#include <gmock/gmock.h>

#include <qel2/qel2.h>

#include "store/store_fixture.h"
#include "store_cases.h"
#include "support/legacy42_manifest.h"

namespace qel2::test {
namespace {

class LegacyQueryTest : public StoreTest {};

TEST_F(LegacyQueryTest, EveryCaseGivesItsExpectedResultAloneAndFromFourThreads) {
    const std::string command = "tar -xzf '" +
                                (test_data_dir() / "legacy42-store.tar.gz").string() + "' -C '" +
                                dir_.str() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string store = (dir_.path() / "legacy42-store").string();
    // The 4.2 region files need one recovery open.
    qel2BerkeleyDatabase db;
    ASSERT_EQ(db.OpenDB(0, kRecover42, store.data()), 0);
    ASSERT_EQ(db.CloseDB(), 0);
    set("caldb.berkeleydb.checkpointinterval", "1");
    ASSERT_EQ(db.OpenDB(qEL2_THREAD_CHECKPOINT | qEL2_THREAD_DEADLOCK, 0, store.data()), 0);
    log_.clear();  // the recovery reported the old region files

    const auto single = RunCases(Legacy42Manifest());
    for (const auto& [actual, expected] : single) EXPECT_EQ(actual, expected);
    // Not-found results, the mis-cased calendar id among them, log nothing.
    EXPECT_THAT(log_.lines(), ::testing::IsEmpty());

    constexpr int kThreads = 4;
    constexpr int kRounds = 15;
    std::vector<decltype(RunCases(Legacy42Manifest()))> seen(kThreads * kRounds);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int r = 0; r < kRounds; ++r) seen[t * kRounds + r] = RunCases(Legacy42Manifest());
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(RunningThreads(), 2);
    for (const auto& results : seen) ASSERT_EQ(results, single);
}

}  // namespace
}  // namespace qel2::test
