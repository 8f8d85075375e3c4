// Opening and closing the store: gCalDB from the configuration, the
// environment, the four databases, the maintenance threads and monitors.

#include <cstdlib>
#include <cstring>
#include <iterator>

#include <nspr.h>

#include <qel2/host.h>
#include <qel2/key_order.h>
#include <qel2/log.h>
#include <qel2/store_internal.h>

#include "records/value_reader.h"
#include "store/bdb_compat.h"
#include "store/state_sync.h"

using qel2::store::LoadWord;
using qel2::store::PollUntil;
using qel2::store::StoreWord;

namespace {

constexpr int kPageSize = 4096;
constexpr uint32_t kHandshakeSleepMs = 100;
constexpr int32_t kDefaultDecodedMb = int32_t(qel2::kDefaultDecodedLimit >> 20);

void ReadSettings() {
    config_cache* cache = config_getdefaultcache();
    gCalDB.bServerAlarms = config_get_switch(cache, "caldb.serveralarms", 1);
    gCalDB.bEnableTransactions = config_get_switch(cache, "caldb.enabletransactions", 1);
    gCalDB.bDebugCheckpointing = config_get_switch(cache, "caldb.berkeleydb.debugcheckpointing", 0);
    gCalDB.bCircularLogging = config_get_switch(cache, "caldb.berkeleydb.circularlogging", 1);
    gCalDB.bCounters = config_get_switch(cache, "caldb.counters", 0);
    gCalDB.nCheckpointInterval = config_get_int(cache, "caldb.berkeleydb.checkpointinterval", 60);
    StoreWord(gCalDB.nTraceLevel, config_get_int(cache, "caldb.berkeleydb.tracelevel", 0));
    int32_t decodedMb = config_get_int(cache, "caldb.maxdecodedrecordmb", kDefaultDecodedMb);
    qel2::SetDecodedLimit(decodedMb > 0 ? size_t(uint32_t(decodedMb)) << 20
                                        : qel2::kDefaultDecodedLimit);
}

// Buffers the linked library hands back are then released with free().
int RouteAllocations() {
    if (int result = db_env_set_func_free(free)) return result;
    if (int result = db_env_set_func_malloc(malloc)) return result;
    return db_env_set_func_realloc(realloc);
}

int CreateDatabaseHandles() {
    struct Setup {
        DB** handle;
        int (*compare)(DB*, const DBT*, const DBT*);
    };
    const Setup setups[] = {{&gCalDB.pEventDB, EventKeyCompare},
                            {&gCalDB.pToDoDB, EventKeyCompare},
                            {&gCalDB.pCalPropsDB, CalPropsKeyCompare},
                            {&gCalDB.pAlarmDB, AlarmKeyCompare}};
    for (const Setup& setup : setups) {
        if (int result = db_create(setup.handle, gCalDB.dbenv, 0)) return result;
        qel2_pvt_InitDB(setup.handle, kPageSize, setup.compare);
    }
    return 0;
}

void WaitForThreadsToStart(int32_t expected) {
    PollUntil([&] { return LoadWord(gCalDB.nRunningThreads) == expected; },
              PR_MillisecondsToInterval(kHandshakeSleepMs),
              [&] {
                  qel2_Log(qEL2_LOG_INFO,
                           "qel2_pvt_OpenDB: waiting for %d threads, only %d have started\n",
                           expected, LoadWord(gCalDB.nRunningThreads));
              });
}

// Starts the requested threads, deadlock thread first. 0, or the NSPR
// error of a thread that could not be created; the spawn has then closed
// the store already.
//
// Each started thread is waited for before the next is spawned: a failed
// spawn closes the store, and that close stops only threads that have
// counted themselves in. A thread still starting would otherwise run on
// into an environment that is being closed.
int StartThreads(uint32_t threads) {
    int32_t expected = 0;
    const struct {
        uint32_t bit;
        void (*entry)(void*);
    } starts[] = {{qEL2_THREAD_DEADLOCK, qel2_DeadlockThreadMain},
                  {qEL2_THREAD_CHECKPOINT, qel2_CheckpointThreadMain}};
    for (const auto& start : starts) {
        if (!(threads & start.bit)) continue;
        if (int error = qel2_pvt_SpawnThread(start.entry)) return error;
        WaitForThreadsToStart(++expected);
    }
    return 0;
}

void CloseEnvironment(int* result) {
    if (gCalDB.dbenv == nullptr) return;
    if (int closed = gCalDB.dbenv->close(gCalDB.dbenv, 0)) {
        *result = qel2_pvt_ResultTo42(closed);
        qel2_Log(qEL2_LOG_INFO, "dbenv->close (qEL2x): %d\n", *result);
    }
    gCalDB.dbenv = nullptr;
}

}  // namespace

extern "C" {

// The process-wide store state. Zero-filled at load; every open zeroes it
// again.
qEL2_CALDB gCalDB;

int qel2_pvt_OpenDB(uint32_t threads, uint32_t flags, const char* homeDir) {
    uint32_t dbFlags = (flags & ~qEL2_DB42_RECOVERY_BITS) | qEL2_DB42_CREATE | qEL2_DB42_THREAD;
    // A read-only open creates nothing: Berkeley DB refuses DB_CREATE beside
    // DB_RDONLY, so a caller asking for DB_RDONLY gets its files opened as
    // they are, and a missing one fails instead of appearing empty.
    if (flags & qEL2_DB42_RDONLY) dbFlags &= ~qEL2_DB42_CREATE;
    uint32_t recoveryBits = flags & qEL2_DB42_RECOVERY_BITS;
    qel2_pvt_TraceLog(1, "qel2_pvt_OpenDB");
    // Flags that 4.2's DB->open did not take are refused before anything is
    // touched, so a wrong call leaves the store as it was. A recovery open
    // uses only its recovery bits; the others are never looked at.
    uint32_t unused = 0;
    if (recoveryBits == 0) {
        if (int result = qel2_pvt_DbOpenFlagsFrom42(dbFlags, &unused)) return result;
    }

    memset(&gCalDB, 0, sizeof gCalDB);
    ReadSettings();
    gCalDB.pszHomeDir = homeDir ? strdup(homeDir)
                                : config_get_stringcopy(config_getdefaultcache(),
                                                        "caldb.berkeleydb.homedir.path", ".");
    if (int result = RouteAllocations()) return qel2_pvt_ResultTo42(result);

    int error = 0;
    gCalDB.dbenv = qel2_InitializeEnvironment(recoveryBits, &error);
    if (error) return error;

    if (recoveryBits) {
        int result = 0;
        CloseEnvironment(&result);
        return result;
    }

    qel2_pvt_InitializeDBCounters();
    if (int result = CreateDatabaseHandles()) return qel2_pvt_ResultTo42(result);
    if (int result = qel2_OpenAllDBFiles(dbFlags)) return result;

    // After a failed spawn the store is closed: nothing more may touch it.
    if (int spawnError = StartThreads(threads)) return spawnError;

    for (PRMonitor*& monitor : gCalDB.apMonitors) monitor = PR_NewMonitor();
    return 0;
}

int qel2_pvt_CloseDB(void) {
    StoreWord(gCalDB.bStop, 1);
    PollUntil([] { return LoadWord(gCalDB.nRunningThreads) <= 0; }, PR_SecondsToInterval(1),
              [] {
                  qel2_Log(qEL2_LOG_INFO, "qel2_pvt_CloseDB: waiting on %d thread(s)\n",
                           LoadWord(gCalDB.nRunningThreads));
              });
    StoreWord(gCalDB.bStop, 0);
    qel2_pvt_StopServerAlarmDispatch();
    qel2_CloseAllDBFiles();

    int result = 0;
    CloseEnvironment(&result);
    free(gCalDB.pszHomeDir);
    gCalDB.pszHomeDir = nullptr;
    for (PRMonitor*& monitor : gCalDB.apMonitors) qel2_FreeMonitor(&monitor);
    return result;
}

int qel2_pvt_InitDB(DB** handle, int pageSize, int (*compare)(DB*, const DBT*, const DBT*)) {
    (*handle)->set_pagesize(*handle, pageSize);
    (*handle)->set_bt_compare(*handle, compare);
    return 0;
}

int qel2_FreeMonitor(PRMonitor** monitor) {
    if (*monitor) PR_DestroyMonitor(*monitor);
    *monitor = nullptr;
    return 0;
}

int qel2_pvt_InitializeDBCounters(void) {
    // The second counter keeps its value across opens.
    for (size_t i = 0; i < std::size(gCalDB.anCounters); ++i) {
        if (i != 1) gCalDB.anCounters[i] = 0;
    }
    return 0;
}

}  // extern "C"
