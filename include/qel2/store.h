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

#ifdef __cplusplus
}
#endif

#endif /* QEL2_STORE_H */
