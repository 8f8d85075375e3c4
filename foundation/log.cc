// The library's one road to the host log sink, and its thin wrappers.

#include <qel2/log.h>

#include <cstdarg>
#include <cstdio>

#include <qel2/host.h>
#include <qel2/store.h>

namespace {

constexpr size_t kMessageBuffer = 4096;

// Formats into a stack buffer, so any thread may log at any time. vsnprintf
// cuts a longer message at 4095 characters and never writes past the end.
void LogV(int level, const char* format, va_list args) {
    char message[kMessageBuffer];
    vsnprintf(message, sizeof message, format, args);
    hxlog(0, level, "%s: %s", qEL2_LOG_MODULE, message);
}

}  // namespace

extern "C" {

const char* asLevels[9] = {"unused", "unused", "CRITICAL ERROR", "ERROR", "WARNING",
                           "NOTICE", "INFO",   "DEBUG",          nullptr};

int qel2_Log(int level, const char* format, ...) {
    va_list args;
    va_start(args, format);
    LogV(level, format, args);
    va_end(args);
    return 0;
}

int qel2_pvt_TraceLog(int traceLevel, const char* format, ...) {
    // The level is read without a lock: it only changes while the store is
    // opened, which the host serialises against everything else.
    if (traceLevel > __atomic_load_n(&gCalDB.nTraceLevel, __ATOMIC_RELAXED)) return 0;
    va_list args;
    va_start(args, format);
    LogV(qEL2_LOG_DEBUG, format, args);
    va_end(args);
    return 0;
}

int qel2_pvt_LogAndReturnError(int code, const char* format, ...) {
    va_list args;
    va_start(args, format);
    LogV(qEL2_LOG_ERROR, format, args);
    va_end(args);
    return code;
}

void qel2_CheckpointDebugMessage(int enabled, const char* format, ...) {
    if (!enabled) return;
    va_list args;
    va_start(args, format);
    LogV(qEL2_LOG_DEBUG, format, args);
    va_end(args);
}

void operation_out_of_disk_space(void) { qel2_Log(qEL2_LOG_CRITICAL, "OUT OF DISK SPACE\n"); }

void qel2_recover_err(const char* /*prefix*/, char* message) {
    qel2_Log(qEL2_LOG_ERROR, "Error with calendar database: %s\n", message ? message : "");
}

}  // extern "C"
