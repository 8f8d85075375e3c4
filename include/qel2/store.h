/*
 * The store state: one process-wide record of the open store's environment
 * and database handles, settings, stop flags, thread count, monitors and
 * counters. The host may read it (and writes bAlarmThreadRunning), so its
 * field order and widths are part of the interface.
 */
#ifndef QEL2_STORE_H
#define QEL2_STORE_H

#include <stdint.h>

#include <db.h>

#ifdef __cplusplus
extern "C" {
#endif

struct PRMonitor;

typedef struct qEL2_CALDB {
    DB_ENV* dbenv;
    DB* pEventDB;
    DB* pToDoDB;
    DB* pCalPropsDB;
    DB* pAlarmDB;
    int32_t nCheckpointInterval;   /* seconds */
    char* pszHomeDir;              /* owned; freed at close */
    int32_t bEnableTransactions;
    int32_t bStop;                 /* read and written atomically */
    int32_t bServerAlarms;
    int32_t bDebugCheckpointing;
    int32_t bCircularLogging;
    int32_t nRunningThreads;       /* PRInt32, changed only atomically */
    int32_t nTraceLevel;
    int32_t bAlarmThreadRunning;   /* written by the host's alarm dispatcher */
    struct PRMonitor* apMonitors[4];
    uint32_t anCounters[9];
    int32_t bStopAlarmDispatch;
    int32_t bCounters;
} qEL2_CALDB;

extern qEL2_CALDB gCalDB;

/* "events.db", "todos.db", "calprops.db", "alarms.db", "caldb.conf", the
 * four "__db_*.share" names, then null. */
extern const char* qel2_asDBFiles[10];

/* ---- Opening and closing the store ------------------------------------ */
/*
 * Open flags and results at this boundary are the host's Berkeley DB 4.2
 * numbers (DB_RECOVER 0x20, DB_NOTFOUND -30990, ...); store/bdb_compat
 * translates them to and from the linked library's.
 */

/* Bits of the `threads` argument of qel2_pvt_OpenDB. */
#define qEL2_THREAD_CHECKPOINT 1u
#define qEL2_THREAD_DEADLOCK   2u

/* Opens the store in `homeDir` (null: "caldb.berkeleydb.homedir.path").
 * With 4.2's DB_RECOVER or DB_RECOVER_FATAL in `flags` it only runs
 * recovery. 0, 1 or 2 (the library's codes), or a Berkeley DB result. */
int qel2_pvt_OpenDB(uint32_t threads, uint32_t flags, const char* homeDir);
/* Stops the threads, closes databases and environment; safe on any state.
 * The result of closing the environment, 0 when there was none. */
int qel2_pvt_CloseDB(void);
/* Checks "caldb.version" in caldb.conf, then opens the four files with the
 * (4.2) database flags. */
int qel2_OpenAllDBFiles(uint32_t dbFlags);
/* Closes the four database handles; returns 0. */
int qel2_CloseAllDBFiles(void);
/* Opens one created handle on `file` (relative to the environment home). */
int qel2_pvt_OpenDBCore(DB_ENV* env, DB** handle, uint32_t dbFlags, const char* file);
/* Closes and clears one handle; returns 0. */
int qel2_pvt_CloseDBFile(DB** handle);
/* Sets page size and key comparison on a created handle; returns 0. */
int qel2_pvt_InitDB(DB** handle, int pageSize,
                    int (*compare)(DB* db, const DBT* a, const DBT* b));
/* Destroys and clears a monitor; returns 0. */
int qel2_FreeMonitor(struct PRMonitor** monitor);
/* Zeroes the counters except the second one; returns 0. */
int qel2_pvt_InitializeDBCounters(void);

/* ---- Environment ------------------------------------------------------ */

/* Creates, configures and opens the environment in gCalDB.pszHomeDir.
 * `recoverFlags` is the caller's (4.2) flags masked to DB_RECOVER and
 * DB_RECOVER_FATAL. `*error`: 0, 1 (no handle) or 2 (open failed). */
DB_ENV* qel2_InitializeEnvironment(uint32_t recoverFlags, int* error);

/* ---- Maintenance threads ---------------------------------------------- */

/* Starts one NSPR global thread on &gCalDB. 0, or the NSPR error after
 * closing the store. */
int qel2_pvt_SpawnThread(void (*entry)(void* state));
void qel2_CheckpointThreadMain(void* state);
void qel2_DeadlockThreadMain(void* state);
/* Asks the host's alarm dispatcher to stop: 2 when none runs, else 0 once
 * it has stopped. */
int qel2_pvt_StopServerAlarmDispatch(void);

/* ---- Statistics and version ------------------------------------------- */

/* Request bits of qel2_pvt_GetStats. */
#define qEL2_STATS_FILE_SIZE 1u
#define qEL2_STATS_CALPROPS  2u
#define qEL2_STATS_EVENTS    4u
#define qEL2_STATS_TODOS     8u   /* to-dos and alarms together */

typedef struct qEL2_DB_STATISTICS {
    uint32_t nTotalFileSize;
    uint32_t nCalProps;
    uint32_t nEvents;
    uint32_t nToDos;
    uint32_t nAlarms;
} qEL2_DB_STATISTICS;

/* Fills the requested counters: 0, or 1 / 12 when a cursor cannot open. */
int qel2_pvt_GetStats(qEL2_DB_STATISTICS* statistics, uint32_t request);
/* Copies "caldb.version" of the open store: 0, 1 (not open) or 2. */
int qel2_pvt_GetDBVersion(char* buffer, uint32_t size);

#ifdef __cplusplus
}
#endif

#endif /* QEL2_STORE_H */
