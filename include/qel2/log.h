/*
 * Logging shared by every part of the library (and, through
 * <qel2/results.h>, its result codes).
 *
 * Every message goes through qel2_Log, which hands it to the host's log
 * sink under the module name "caldb". Messages begin with the name of the
 * function that writes them and carry their own line end.
 */
#ifndef QEL2_LOG_H
#define QEL2_LOG_H

#include <qel2/export.h>
#include <qel2/results.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Log levels passed to the sink. */
#define qEL2_LOG_CRITICAL 2
#define qEL2_LOG_ERROR 3
#define qEL2_LOG_WARNING 4
#define qEL2_LOG_NOTICE 5
#define qEL2_LOG_INFO 6
#define qEL2_LOG_DEBUG 7

/* The module name the library's lines carry in the host's log. */
#define qEL2_LOG_MODULE "caldb"

/* Names of levels 0 to 7, then a null pointer. */
QEL2_API extern const char* asLevels[9];

/* Formats into a 4096-byte buffer (a longer message is cut) and passes it to
 * hxlog(0, level, "%s: %s", "caldb", message). Returns 0. */
QEL2_API int qel2_Log(int level, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

/* Logs at DEBUG when traceLevel <= gCalDB.nTraceLevel. Returns 0. */
QEL2_API int qel2_pvt_TraceLog(int traceLevel, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

/* Logs at ERROR and returns `code`. */
QEL2_API int qel2_pvt_LogAndReturnError(int code, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

/* Logs at DEBUG when `enabled` is nonzero (the checkpoint thread's lines). */
QEL2_API void qel2_CheckpointDebugMessage(int enabled, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

/* Logs "OUT OF DISK SPACE\n" at CRITICAL ERROR. */
QEL2_API void operation_out_of_disk_space(void);

/* Berkeley DB's error callback: logs "Error with calendar database: %s\n"
 * at ERROR; the prefix is not written. */
QEL2_API void qel2_recover_err(const char* prefix, char* message);

#ifdef __cplusplus
}
#endif

#endif /* QEL2_LOG_H */
