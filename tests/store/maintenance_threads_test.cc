// The checkpoint and deadlock threads over a real environment. Where a
// test needs a checkpoint or detector result it cannot provoke, it puts a
// stand-in on the environment handle before it starts the thread itself.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cerrno>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nspr.h>

#include <qel2/qel2.h>
#include <qel2/query_internal.h>
#include <qel2/store_internal.h>

#include "store_fixture.h"

namespace qel2::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Polls `done` every 10 ms for at most `limit`.
template <class Done>
bool WaitFor(Done done, Clock::duration limit) {
    for (auto end = Clock::now() + limit; Clock::now() < end; std::this_thread::sleep_for(10ms)) {
        if (done()) return true;
    }
    return done();
}

class MaintenanceTest : public StoreTest {
protected:
    // Opens without threads, so that stand-ins go in before a thread runs.
    void openQuiet() {
        writeConf();
        ASSERT_EQ(open(0), 0);
    }
    static void startThreads(std::vector<void (*)(void*)> entries) {
        for (auto entry : entries) ASSERT_EQ(qel2_pvt_SpawnThread(entry), 0);
        ASSERT_TRUE(WaitFor([&] { return RunningThreads() == int32_t(entries.size()); }, 5s));
    }
    // Fills several 1-MB log files with transactional writes. The store's
    // own databases are opened without transactions, whose writes are not
    // logged, so the writes go to a transactional database of the test's
    // in the same environment.
    static void writeLogFiles() {
        DB* fill = nullptr;
        ASSERT_EQ(db_create(&fill, gCalDB.dbenv, 0), 0);
        ASSERT_EQ(fill->open(fill, nullptr, "fill.db", nullptr, DB_BTREE,
                             DB_CREATE | DB_AUTO_COMMIT, 0664),
                  0);
        std::string value(1000, 'x');
        for (uint32_t i = 0; i < 4000; ++i) {
            DBT key = {}, data = {};
            key.data = &i;
            key.size = sizeof i;
            data.data = value.data();
            data.size = value.size();
            EXPECT_EQ(fill->put(fill, nullptr, &key, &data, 0), 0);
        }
        EXPECT_EQ(fill->close(fill, 0), 0);
    }
    bool exists(const std::string& name) const { return fs::exists(dir_.path() / name); }
};

// ---- checkpoint passes over real log files ----

// Number of the newest log file, renamed or not; the current one is never
// removed.
int LastLogFile(const fs::path& dir) {
    int last = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        std::string name = entry.path().filename().string();
        if (name.rfind("old.", 0) == 0) name.erase(0, 4);
        if (name.rfind("log.", 0) == 0) last = std::max(last, std::stoi(name.substr(4)));
    }
    return last;
}

class LogArchiveTest : public MaintenanceTest, public ::testing::WithParamInterface<bool> {};

TEST_P(LogArchiveTest, CheckpointThreadRemovesOrRenamesUnneededLogFiles) {
    bool circular = GetParam();
    set("caldb.berkeleydb.checkpointinterval", "1");
    set("caldb.berkeleydb.logfilesizemb", "1");
    set("caldb.berkeleydb.circularlogging", circular ? "1" : "0");
    set("caldb.berkeleydb.debugcheckpointing", "1");
    writeConf();
    ASSERT_EQ(open(qEL2_THREAD_CHECKPOINT), 0);
    writeLogFiles();
    ASSERT_GE(LastLogFile(dir_.path()), 3) << "the writes fill several log files";

    std::string first = "log.0000000001";
    EXPECT_TRUE(WaitFor([&] { return !exists(first); }, 6s));
    EXPECT_EQ(exists("old." + first), !circular);
    std::string path = dir_.str() + "/" + first + "\n";
    EXPECT_EQ(count(7, (circular ? "Deleting " : "Renaming ") + path), 1);
    EXPECT_GE(count(7, "Starting checkpoint\n"), 2);
    EXPECT_TRUE(
        hasPrefix(7, "Got ppFileList of logfiles not needed. Retval = 0, ppFileList is at "));
}

INSTANTIATE_TEST_SUITE_P(CircularAndNot, LogArchiveTest, ::testing::Bool());

// ---- stand-ins on the environment handle ----

std::atomic<int> gCheckpointCalls{0};
std::atomic<int> gCheckpointsDone{0};
std::atomic<int> gDetectCalls{0};
int (*gRealCheckpoint)(DB_ENV*, u_int32_t, u_int32_t, u_int32_t) = nullptr;

int CountingDetect(DB_ENV*, u_int32_t, u_int32_t, int*) {
    ++gDetectCalls;
    return 0;
}

int FullDiskCheckpoint(DB_ENV*, u_int32_t, u_int32_t, u_int32_t) {
    ++gCheckpointCalls;
    return ENOSPC;
}

// A checkpoint that takes a while, so that a close can come in between.
int SlowCheckpoint(DB_ENV* env, u_int32_t kbyte, u_int32_t minutes, u_int32_t flags) {
    ++gCheckpointCalls;
    std::this_thread::sleep_for(600ms);
    int result = gRealCheckpoint(env, kbyte, minutes, flags);
    ++gCheckpointsDone;
    return result;
}

class StandInTest : public MaintenanceTest {
protected:
    void SetUp() override {
        MaintenanceTest::SetUp();
        gCheckpointCalls = 0;
        gCheckpointsDone = 0;
        gDetectCalls = 0;
        // A negative interval makes the first pass checkpoint at once.
        set("caldb.berkeleydb.checkpointinterval", "-1");
        set("caldb.berkeleydb.deadlockinterval", "1");
    }
};

TEST_F(StandInTest, WithTransactionsOffThreadsNeverCheckpointOrDetect) {
    set("caldb.enabletransactions", "0");
    openQuiet();
    gCalDB.dbenv->txn_checkpoint = FullDiskCheckpoint;
    gCalDB.dbenv->lock_detect = CountingDetect;
    startThreads({qel2_DeadlockThreadMain, qel2_CheckpointThreadMain});
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(qel2_pvt_CloseDB(), 0);
    EXPECT_EQ(gCheckpointCalls, 0);
    EXPECT_EQ(gDetectCalls, 0);
    ExpectClosed();
}

TEST_F(StandInTest, FailedCheckpointOnAFullDiskRaisesTheAlarm) {
    openQuiet();
    gCalDB.dbenv->txn_checkpoint = FullDiskCheckpoint;
    startThreads({qel2_CheckpointThreadMain});
    ASSERT_TRUE(WaitFor([] { return gCheckpointCalls >= 2; }, 5s));
    EXPECT_EQ(qel2_pvt_CloseDB(), 0);
    EXPECT_GE(count(2, "Failed to checkpoint database, err=28\n"), 2);
    EXPECT_GE(count(2, "OUT OF DISK SPACE\n"), 2);
    EXPECT_EQ(count(7, "Starting checkpoint\n"), 0) << "debug lines are off by default";
}

TEST_F(StandInTest, CloseDuringACheckpointPassWaitsForThatPass) {
    openQuiet();
    gRealCheckpoint = gCalDB.dbenv->txn_checkpoint;
    gCalDB.dbenv->txn_checkpoint = SlowCheckpoint;
    startThreads({qel2_CheckpointThreadMain});
    ASSERT_TRUE(WaitFor([] { return gCheckpointCalls >= 1; }, 5s));

    EXPECT_EQ(qel2_pvt_CloseDB(), 0);
    // Both checkpoints of the pass ran to the end before the environment
    // was closed.
    EXPECT_EQ(gCheckpointsDone.load(), gCheckpointCalls.load());
    EXPECT_GE(gCheckpointsDone, 2);
    ExpectClosed();
}

// Scripted detector results: fail, fail, fail, succeed, fail, then succeed.
std::atomic<int> gDetectStep{0};

int ScriptedDetect(DB_ENV*, u_int32_t, u_int32_t, int*) {
    constexpr int kScript[] = {DB_LOCK_NOTGRANTED, DB_LOCK_NOTGRANTED, DB_LOCK_NOTGRANTED, 0,
                               DB_LOCK_NOTGRANTED};
    int step = gDetectStep++;
    return step < int(std::size(kScript)) ? kScript[step] : 0;
}

TEST_F(StandInTest, DeadlockThreadCountsSuccessiveFailures) {
    gDetectStep = 0;
    openQuiet();
    gCalDB.dbenv->lock_detect = ScriptedDetect;
    startThreads({qel2_DeadlockThreadMain});
    ASSERT_TRUE(WaitFor([] { return gDetectStep > 6; }, 5s));
    EXPECT_EQ(qel2_pvt_CloseDB(), 0);

    // The host sees 4.2's number for DB_LOCK_NOTGRANTED.
    const std::string failed = "caldb: Failed in deadlock detect, err=-30994\n";
    const std::vector<std::string> expected = {failed,
                                               failed,
                                               "caldb:   successive deadlock detect failures = 2\n",
                                               failed,
                                               "caldb:   successive deadlock detect failures = 3\n",
                                               failed};
    std::vector<std::string> errors;
    for (const LogLine& line : log_.lines()) {
        if (line.level == 3) errors.push_back(line.text);
    }
    EXPECT_EQ(errors, expected);
}

// ---- the host's alarm dispatcher ----

TEST_F(StoreTest, StopServerAlarmDispatchWaitsForTheHostsDispatcherIfItRuns) {
    EXPECT_EQ(qel2_pvt_StopServerAlarmDispatch(), 2);  // none runs
    EXPECT_TRUE(log_.lines().empty());

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
    EXPECT_EQ(__atomic_load_n(&gCalDB.bStopAlarmDispatch, __ATOMIC_ACQUIRE), 0);
}

}  // namespace
}  // namespace qel2::test
