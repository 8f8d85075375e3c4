/*
 * The store engine's steps below the open and close of <qel2/store.h>:
 * the files table, the databases, the environment and the maintenance
 * threads. Used by the library, its tests and the command-line host.
 */
#ifndef QEL2_STORE_INTERNAL_H
#define QEL2_STORE_INTERNAL_H

#include <stdint.h>

#include <db.h>

#include <qel2/store.h>

#ifdef __cplusplus
extern "C" {
#endif

/* "events.db", "todos.db", "calprops.db", "alarms.db", "caldb.conf", the
 * four "__db_*.share" names, then null. */
QEL2_API extern const char* qel2_asDBFiles[10];

/* Positions in qel2_asDBFiles: the four database files come first. */
#define qEL2_FILE_EVENTS 0
#define qEL2_FILE_TODOS 1
#define qEL2_FILE_CALPROPS 2
#define qEL2_FILE_ALARMS 3
#define qEL2_FILE_CONF 4
#define qEL2_DATABASE_FILES 4 /* how many database files */

/* Checks "caldb.version" in caldb.conf, then opens the four files with the
 * (4.2) database flags. */
QEL2_API int qel2_OpenAllDBFiles(uint32_t dbFlags);
/* Closes the four database handles; returns 0. */
QEL2_API int qel2_CloseAllDBFiles(void);
/* Opens one created handle on `file` (relative to the environment home). */
QEL2_API int qel2_pvt_OpenDBCore(DB_ENV* env, DB** handle, uint32_t dbFlags, const char* file);
/* Closes and clears one handle; returns 0. */
QEL2_API int qel2_pvt_CloseDBFile(DB** handle);
/* Sets page size and key comparison on a created handle; returns 0. */
QEL2_API int qel2_pvt_InitDB(DB** handle, int pageSize,
                             int (*compare)(DB* db, const DBT* a, const DBT* b));
/* Destroys and clears a monitor; returns 0. */
QEL2_API int qel2_FreeMonitor(struct PRMonitor** monitor);
/* Zeroes the counters except the second one; returns 0. */
QEL2_API int qel2_pvt_InitializeDBCounters(void);

/* Creates, configures and opens the environment in gCalDB.pszHomeDir.
 * `recoverFlags` is the caller's (4.2) flags masked to DB_RECOVER and
 * DB_RECOVER_FATAL. `*error`: 0, 1 (no handle) or 2 (open failed). */
QEL2_API DB_ENV* qel2_InitializeEnvironment(uint32_t recoverFlags, int* error);

/* Starts one NSPR global thread on &gCalDB. 0, or the NSPR error after
 * closing the store. */
QEL2_API int qel2_pvt_SpawnThread(void (*entry)(void* state));
QEL2_API void qel2_CheckpointThreadMain(void* state);
QEL2_API void qel2_DeadlockThreadMain(void* state);

#ifdef __cplusplus
}
#endif

#endif /* QEL2_STORE_INTERNAL_H */
