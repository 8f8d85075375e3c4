// Every read case of three stores (store_cases.h): the genuine Berkeley DB
// 4.2 store, alone and from four threads while the maintenance threads
// run; the calendars of tests/data/stores/search-store.json for what the
// genuine store's searches leave out; and the links, damaged values and
// window boundaries of tests/data/stores/linked-store.json, with the lines
// they log. (Decoding the genuine values: tests/records.)

#include <cstdlib>
#include <thread>

#include <gmock/gmock.h>

#include "query_store.h"
#include "store_cases.h"
#include "support/legacy42_manifest.h"

namespace qel2::test {
namespace {

TEST_F(QueryTest, EveryCaseOfTheGenuineStoreAloneAndFromFourThreads) {
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

class WrittenStoreTest : public QueryTest {
protected:
    void expectEveryCase(const char* name) {
        const std::string description = test_data_text(name);
        openStore(description);
        for (const auto& [actual, expected] : RunCases(nlohmann::json::parse(description), &log_))
            EXPECT_EQ(actual, expected);
    }
};

TEST_F(WrittenStoreTest, EveryCaseOfTheSearchStore) { expectEveryCase("stores/search-store.json"); }
TEST_F(WrittenStoreTest, EveryCaseOfTheLinkedStore) { expectEveryCase("stores/linked-store.json"); }

}  // namespace
}  // namespace qel2::test
