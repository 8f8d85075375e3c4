// The checkpoint and deadlock threads over a real environment. Where a
// test needs a checkpoint or detector result it cannot provoke, it puts a
// stand-in on the environment handle before it starts the threads itself.

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include <qel2/qel2.h>

#include "store_fixture.h"

namespace qel2::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Polls `done` until it holds. The limit only keeps a broken thread from
// hanging the run; it is no measure of speed.
template <class Done>
bool WaitFor(Done done) {
    const auto end = std::chrono::steady_clock::now() + 60s;
    for (; !done(); std::this_thread::sleep_for(10ms))
        if (std::chrono::steady_clock::now() > end) return false;
    return true;
}

// Fills several 1-MB log files. The store's own databases are opened
// without transactions, whose writes are not logged, so the writes go to a
// transactional database of the test's own in the same environment.
void WriteLogFiles() {
    DB* fill = nullptr;
    ASSERT_EQ(db_create(&fill, gCalDB.dbenv, 0), 0);
    ASSERT_EQ(
        fill->open(fill, nullptr, "fill.db", nullptr, DB_BTREE, DB_CREATE | DB_AUTO_COMMIT, 0664),
        0);
    std::string value(1000, 'x');
    for (uint32_t i = 0; i < 4000; ++i) {
        DBT key{}, data{};
        key.data = &i;
        key.size = sizeof i;
        data.data = value.data();
        data.size = uint32_t(value.size());
        EXPECT_EQ(fill->put(fill, nullptr, &key, &data, 0), 0);
    }
    EXPECT_EQ(fill->close(fill, 0), 0);
}

class LogArchiveTest : public StoreTest, public ::testing::WithParamInterface<bool> {};

TEST_P(LogArchiveTest, CheckpointThreadRemovesOrRenamesUnneededLogFiles) {
    const bool circular = GetParam();
    set("caldb.berkeleydb.checkpointinterval", "1");
    set("caldb.berkeleydb.logfilesizemb", "1");
    set("caldb.berkeleydb.circularlogging", circular ? "1" : "0");
    set("caldb.berkeleydb.debugcheckpointing", "1");
    writeConf();
    ASSERT_EQ(open(qEL2_THREAD_CHECKPOINT), 0);
    WriteLogFiles();  // several log files, the first no longer needed

    const fs::path first = dir_.path() / "log.0000000001";
    EXPECT_TRUE(WaitFor([&] { return !fs::exists(first); }));
    EXPECT_EQ(fs::exists(dir_.path() / "old.log.0000000001"), !circular);
    EXPECT_EQ(count(7, (circular ? "Deleting " : "Renaming ") + first.string() + "\n"), 1);
    EXPECT_GE(count(7, "Starting checkpoint\n"), 2);
    EXPECT_TRUE(hasPrefix(7, "Got ppFileList of logfiles not needed. Retval = 0, ppFileList "));
}

INSTANTIATE_TEST_SUITE_P(CircularAndNot, LogArchiveTest, ::testing::Bool());

// A stand-in's results, one a call, then 0 ever after.
struct Script {
    std::vector<int> results;
    std::atomic<int> calls{0};
    int next() {
        const size_t call = size_t(calls++);
        return call < results.size() ? results[call] : 0;
    }
};
Script gCheckpoints, gDetects;
std::atomic<int> gCheckpointsDone{0};
int (*gRealCheckpoint)(DB_ENV*, u_int32_t, u_int32_t, u_int32_t) = nullptr;

int ScriptedCheckpoint(DB_ENV*, u_int32_t, u_int32_t, u_int32_t) { return gCheckpoints.next(); }
int ScriptedDetect(DB_ENV*, u_int32_t, u_int32_t, int*) { return gDetects.next(); }

// A real checkpoint that takes a while, so that a close can come in between.
int SlowCheckpoint(DB_ENV* env, u_int32_t kbyte, u_int32_t minutes, u_int32_t flags) {
    ++gCheckpoints.calls;
    std::this_thread::sleep_for(600ms);
    const int result = gRealCheckpoint(env, kbyte, minutes, flags);
    ++gCheckpointsDone;
    return result;
}

class StandInTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        gCheckpoints.results.clear();
        gDetects.results.clear();
        gCheckpoints.calls = gDetects.calls = gCheckpointsDone = 0;
        set("caldb.berkeleydb.checkpointinterval", "-1");  // a checkpoint on every pass
        set("caldb.berkeleydb.deadlockinterval", "1");
    }
    // Opens without threads, puts the stand-ins in and starts both threads.
    void start(decltype(DB_ENV::txn_checkpoint) checkpoint, decltype(DB_ENV::lock_detect) detect) {
        writeConf();
        ASSERT_EQ(open(0), 0);
        gRealCheckpoint = gCalDB.dbenv->txn_checkpoint;
        gCalDB.dbenv->txn_checkpoint = checkpoint;
        gCalDB.dbenv->lock_detect = detect;
        ASSERT_EQ(qel2_pvt_SpawnThread(qel2_DeadlockThreadMain), 0);
        ASSERT_EQ(qel2_pvt_SpawnThread(qel2_CheckpointThreadMain), 0);
        ASSERT_TRUE(WaitFor([] { return RunningThreads() == 2; }));
    }
};

TEST_F(StandInTest, WithTransactionsOffThreadsNeverCheckpointOrDetect) {
    set("caldb.enabletransactions", "0");
    start(ScriptedCheckpoint, ScriptedDetect);
    std::this_thread::sleep_for(500ms);  // both threads pass at once when they start
    EXPECT_EQ(qel2_pvt_CloseDB(), 0);
    EXPECT_EQ(gCheckpoints.calls + gDetects.calls, 0);
}

TEST_F(StandInTest, FailuresAreLoggedCallByCall) {
    gCheckpoints.results = {ENOSPC, ENOSPC};  // the first pass, on a full disk
    gDetects.results = {DB_LOCK_NOTGRANTED, DB_LOCK_NOTGRANTED, DB_LOCK_NOTGRANTED, 0,
                        DB_LOCK_NOTGRANTED};
    start(ScriptedCheckpoint, ScriptedDetect);
    ASSERT_TRUE(WaitFor([] { return gCheckpoints.calls > 2 && gDetects.calls > 5; }));
    EXPECT_EQ(qel2_pvt_CloseDB(), 0);

    EXPECT_EQ(count(2, "Failed to checkpoint database, err=28\n"), 2);
    EXPECT_EQ(count(2, "OUT OF DISK SPACE\n"), 2);
    EXPECT_EQ(count(7, "Starting checkpoint\n"), 0) << "debug lines are off by default";
    // Successive detector failures are counted; the host sees 4.2's number
    // for DB_LOCK_NOTGRANTED.
    const std::string failed = "caldb: Failed in deadlock detect, err=-30994\n";
    const std::string successive = "caldb:   successive deadlock detect failures = ";
    std::vector<std::string> errors;
    for (const LogLine& line : log_.lines())
        if (line.level == 3) errors.push_back(line.text);
    EXPECT_EQ(errors, std::vector<std::string>({failed, failed, successive + "2\n", failed,
                                                successive + "3\n", failed}));
}

TEST_F(StandInTest, CloseDuringACheckpointPassWaitsForThatPass) {
    start(SlowCheckpoint, ScriptedDetect);
    ASSERT_TRUE(WaitFor([] { return gCheckpoints.calls >= 1; }));
    EXPECT_EQ(qel2_pvt_CloseDB(), 0);
    // Both checkpoints of the pass ran to the end before the environment
    // was closed.
    EXPECT_EQ(gCheckpointsDone.load(), gCheckpoints.calls.load());
    EXPECT_GE(gCheckpointsDone, 2);
    ExpectClosed();
}

TEST_F(StoreTest, StopServerAlarmDispatchWaitsForTheHostsDispatcherIfItRuns) {
    EXPECT_EQ(qel2_pvt_StopServerAlarmDispatch(), 2);  // none runs
    __atomic_store_n(&gCalDB.bAlarmThreadRunning, 1, __ATOMIC_RELEASE);
    std::atomic<bool> sawStop{false};
    std::thread dispatcher([&] {
        while (!__atomic_load_n(&gCalDB.bStopAlarmDispatch, __ATOMIC_ACQUIRE))
            std::this_thread::sleep_for(5ms);
        sawStop = true;
        __atomic_store_n(&gCalDB.bAlarmThreadRunning, 0, __ATOMIC_RELEASE);
    });
    EXPECT_EQ(qel2_pvt_StopServerAlarmDispatch(), 0);
    dispatcher.join();
    EXPECT_TRUE(sawStop);
    EXPECT_EQ(__atomic_load_n(&gCalDB.bStopAlarmDispatch, __ATOMIC_ACQUIRE), 0) << "reset";
}

}  // namespace
}  // namespace qel2::test
