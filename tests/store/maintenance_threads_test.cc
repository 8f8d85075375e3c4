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

class LogArchiveTest : public StoreTest, public ::testing::WithParamInterface<bool> {};

TEST_P(LogArchiveTest, CheckpointThreadRemovesOrRenamesUnneededLogFiles) {
    const bool circular = GetParam();
    set("caldb.berkeleydb.checkpointinterval", "1");
    set("caldb.berkeleydb.logfilesizemb", "1");
    set("caldb.berkeleydb.circularlogging", circular ? "1" : "0");
    set("caldb.berkeleydb.debugcheckpointing", "1");
    writeConf();
    ASSERT_EQ(open(qEL2_THREAD_CHECKPOINT), 0);
    // Four 1-MB log files; the first is needed by nothing once checkpointed.
    std::string record(1000, 'x');
    DBT data{};
    data.data = record.data();
    data.size = uint32_t(record.size());
    DB_LSN lsn;
    for (int i = 0; i < 4000; ++i)
        ASSERT_EQ(gCalDB.dbenv->log_put(gCalDB.dbenv, &lsn, &data, 0), 0);

    const std::string first = dir_.str() + "/log.0000000001";
    EXPECT_TRUE(WaitFor([&] { return !std::filesystem::exists(first); }));
    EXPECT_EQ(std::filesystem::exists(dir_.str() + "/old.log.0000000001"), !circular);
    EXPECT_EQ(count(7, (circular ? "Deleting " : "Renaming ") + first + "\n"), 1);
    EXPECT_GE(count(7, "Starting checkpoint\n"), 2);
    EXPECT_TRUE(hasPrefix(7, "Got ppFileList of logfiles not needed. Retval = 0, ppFileList "));
}

INSTANTIATE_TEST_SUITE_P(CircularAndNot, LogArchiveTest, ::testing::Bool());

// Stand-ins for the checkpoint and the detector, with scripted results,
// one a call, then 0 ever after. A checkpoint takes a while, so that a
// close can come in during a pass.
struct Script {
    std::vector<int> results;
    std::atomic<int> calls{0}, done{0};
    int next() {
        const size_t call = size_t(calls++);
        return call < results.size() ? results[call] : 0;
    }
};
Script gCheckpoints, gDetects;

int ScriptedCheckpoint(DB_ENV*, u_int32_t, u_int32_t, u_int32_t) {
    const int result = gCheckpoints.next();
    std::this_thread::sleep_for(300ms);
    ++gCheckpoints.done;
    return result;
}
int ScriptedDetect(DB_ENV*, u_int32_t, u_int32_t, int*) { return gDetects.next(); }

TEST_F(StoreTest, ThreadsLogFailuresAsTheyComeAndCloseWaitsForAPass) {
    const int notGranted = DB_LOCK_NOTGRANTED;
    gCheckpoints.results = {ENOSPC, ENOSPC};  // the first pass, on a full disk
    gDetects.results = {notGranted, notGranted, notGranted, 0, notGranted};
    set("caldb.berkeleydb.checkpointinterval", "-1");  // a checkpoint every pass
    set("caldb.berkeleydb.deadlockinterval", "1");
    writeConf();
    ASSERT_EQ(open(0), 0);  // without threads, so that the stand-ins go in first
    gCalDB.dbenv->txn_checkpoint = ScriptedCheckpoint;
    gCalDB.dbenv->lock_detect = ScriptedDetect;
    ASSERT_EQ(qel2_pvt_SpawnThread(qel2_DeadlockThreadMain), 0);
    ASSERT_EQ(qel2_pvt_SpawnThread(qel2_CheckpointThreadMain), 0);
    // Inside a checkpoint of the second pass.
    ASSERT_TRUE(WaitFor([] {
        return gDetects.calls > 5 && gCheckpoints.calls > 2 &&
               gCheckpoints.calls > gCheckpoints.done;
    }));
    EXPECT_EQ(qel2_pvt_CloseDB(), 0);
    EXPECT_EQ(gCheckpoints.done.load(), gCheckpoints.calls.load()) << "the pass was cut short";
    EXPECT_EQ(gCheckpoints.calls % 2, 0) << "both checkpoints of a pass";
    ExpectClosed();
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

TEST_F(StoreTest, StopServerAlarmDispatchWaitsForTheHostsDispatcherIfItRuns) {
    EXPECT_EQ(qel2_pvt_StopServerAlarmDispatch(), 2);  // none runs
    __atomic_store_n(&gCalDB.bAlarmThreadRunning, 1, __ATOMIC_RELEASE);
    std::thread dispatcher([] {
        while (!__atomic_load_n(&gCalDB.bStopAlarmDispatch, __ATOMIC_ACQUIRE))
            std::this_thread::sleep_for(5ms);
        __atomic_store_n(&gCalDB.bAlarmThreadRunning, 0, __ATOMIC_RELEASE);
    });
    EXPECT_EQ(qel2_pvt_StopServerAlarmDispatch(), 0);
    EXPECT_EQ(__atomic_load_n(&gCalDB.bAlarmThreadRunning, __ATOMIC_ACQUIRE), 0) << "it stopped";
    EXPECT_EQ(__atomic_load_n(&gCalDB.bStopAlarmDispatch, __ATOMIC_ACQUIRE), 0) << "reset";
    dispatcher.join();
}

}  // namespace
}  // namespace qel2::test
