/*
 * The store state: one process-wide record of the open store's environment
 * and database handles, settings, stop flags, thread count, monitors and
 * counters. The host may read it (and writes bAlarmThreadRunning), so its
 * field order and widths are part of the interface.
 */
#ifndef QEL2_STORE_H
#define QEL2_STORE_H

#include <stdint.h>

#include <qel2/export.h>
#include <qel2/results.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Berkeley DB's environment and database handles, opaque to the host (the
 * struct names are Berkeley DB's own, so code that includes <db.h> sees
 * DB_ENV* and DB*). */
struct __db_env;
struct __db;
struct PRMonitor;

typedef struct qEL2_CALDB {
    struct __db_env* dbenv;
    struct __db* pEventDB;
    struct __db* pToDoDB;
    struct __db* pCalPropsDB;
    struct __db* pAlarmDB;
    int32_t nCheckpointInterval; /* seconds */
    char* pszHomeDir;            /* owned; freed at close */
    int32_t bEnableTransactions;
    int32_t bStop; /* read and written atomically */
    int32_t bServerAlarms;
    int32_t bDebugCheckpointing;
    int32_t bCircularLogging;
    int32_t nRunningThreads; /* PRInt32, changed only atomically */
    int32_t nTraceLevel;
    int32_t bAlarmThreadRunning; /* written by the host's alarm dispatcher */
    struct PRMonitor* apMonitors[4];
    uint32_t anCounters[9];
    int32_t bStopAlarmDispatch;
    int32_t bCounters;
} qEL2_CALDB;

QEL2_API extern qEL2_CALDB gCalDB;

/* ---- Opening and closing the store ------------------------------------ */
/*
 * Open flags and results at this boundary are the host's Berkeley DB 4.2
 * numbers (DB_RECOVER 0x20, DB_NOTFOUND -30990, ...); the library
 * translates them to and from the linked Berkeley DB's. The flags a host
 * without 4.2's <db.h> needs are named here, the results in
 * <qel2/results.h>.
 */
#define qEL2_DB42_CREATE 0x1u
#define qEL2_DB42_RDONLY 0x10u
#define qEL2_DB42_RECOVER 0x20u
#define qEL2_DB42_THREAD 0x40u
#define qEL2_DB42_RECOVER_FATAL 0x200000u
#define qEL2_DB42_RECOVERY_BITS (qEL2_DB42_RECOVER | qEL2_DB42_RECOVER_FATAL)

/* Bits of the `threads` argument of qel2_pvt_OpenDB. */
#define qEL2_THREAD_CHECKPOINT 1u
#define qEL2_THREAD_DEADLOCK 2u

/* Opens the store in `homeDir` (null: "caldb.berkeleydb.homedir.path").
 * With 4.2's DB_RECOVER or DB_RECOVER_FATAL in `flags` it only runs
 * recovery. 0, 1 or 2 (the library's codes), or a Berkeley DB result. */
QEL2_API int qel2_pvt_OpenDB(uint32_t threads, uint32_t flags, const char* homeDir);
/* Stops the threads, closes databases and environment; safe on any state.
 * The result of closing the environment, 0 when there was none. */
QEL2_API int qel2_pvt_CloseDB(void);
/* Asks the host's alarm dispatcher to stop: 2 when none runs, else 0 once
 * it has stopped. */
QEL2_API int qel2_pvt_StopServerAlarmDispatch(void);

/* ---- Statistics and version ------------------------------------------- */

/* Request bits of qel2_pvt_GetStats. */
#define qEL2_STATS_FILE_SIZE 1u
#define qEL2_STATS_CALPROPS 2u
#define qEL2_STATS_EVENTS 4u
#define qEL2_STATS_TODOS 8u /* to-dos and alarms together */

typedef struct qEL2_DB_STATISTICS {
    uint32_t nTotalFileSize;
    uint32_t nCalProps;
    uint32_t nEvents;
    uint32_t nToDos;
    uint32_t nAlarms;
} qEL2_DB_STATISTICS;

/* Fills the requested counters: 0, or 1 / 12 when a cursor cannot open
 * (also on a closed store). */
QEL2_API int qel2_pvt_GetStats(qEL2_DB_STATISTICS* statistics, uint32_t request);
/* The "caldb.version" in caldb.conf of a store this library reads; the open
 * refuses any other. */
#define qEL2_STORE_VERSION "1.0.0 [BerkeleyDB]"

/* Copies "caldb.version" of the open store: 0, 1 (not open) or 2. */
QEL2_API int qel2_pvt_GetDBVersion(char* buffer, uint32_t size);

#ifdef __cplusplus
}
#endif

#endif /* QEL2_STORE_H */
