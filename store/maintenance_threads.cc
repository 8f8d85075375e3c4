// The checkpoint and deadlock threads that keep the environment healthy
// while the store is open, and the stop request to the host's alarm
// dispatcher.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <nspr.h>
#include <unistd.h>

#include <qel2/host.h>
#include <qel2/log.h>
#include <qel2/store_internal.h>

#include "store/bdb_compat.h"
#include "store/store_path.h"
#include "store/state_sync.h"

using qel2::store::LoadWord;
using qel2::store::PollUntil;
using qel2::store::StoreWord;

namespace {

constexpr size_t kLogPathBuffer = 1024;
constexpr uint32_t kCheckpointTickMs = 1000;
constexpr uint32_t kAlarmStopSleepMs = 100;

// Successive failed detector runs; process-wide, not reset by an open.
uint32_t gDeadlockFailures = 0;

// The thread count changes only through these; NSPR's macros expand to the
// compiler's atomic builtins, which a thread checker also understands.
void CountIn(qEL2_CALDB* db) { PR_ATOMIC_INCREMENT(&db->nRunningThreads); }
void CountOut(qEL2_CALDB* db) { PR_ATOMIC_DECREMENT(&db->nRunningThreads); }

void Checkpoint(qEL2_CALDB* db, time_t* lastCheckpoint) {
    qel2_CheckpointDebugMessage(db->bDebugCheckpointing, "Starting checkpoint\n");
    int result = db->dbenv->txn_checkpoint(db->dbenv, 0, 0, 0);
    qel2_CheckpointDebugMessage(db->bDebugCheckpointing, "Checkpoint Done\n");
    if (result == 0) {
        *lastCheckpoint = time(nullptr);
        return;
    }
    qel2_Log(qEL2_LOG_CRITICAL, "Failed to checkpoint database, err=%d\n",
             qel2_pvt_ResultTo42(result));
    if (result == ENOSPC) operation_out_of_disk_space();
}

// Deletes (circular logging) or renames to "old.<name>" every log file no
// active transaction needs any more.
void ArchiveLogFiles(qEL2_CALDB* db) {
    const char* dir = (db->pszHomeDir && db->pszHomeDir[0]) ? db->pszHomeDir : ".";
    char** files = nullptr;
    int result = db->dbenv->log_archive(db->dbenv, &files, 0);
    // The line shows the low 32 bits of the list's address, as hosts'
    // log readers know it.
    qel2_CheckpointDebugMessage(db->bDebugCheckpointing,
                                "Got ppFileList of logfiles not needed. Retval = %d, ppFileList is "
                                "at %x\n",
                                qel2_pvt_ResultTo42(result),
                                static_cast<unsigned>(reinterpret_cast<uintptr_t>(files)));
    if (result != 0 || files == nullptr) return;
    for (char** name = files; *name; ++name) {
        char path[kLogPathBuffer];
        if (!qel2::store::JoinStorePath(path, "%s/%s", dir, *name)) continue;
        if (db->bCircularLogging) {
            qel2_CheckpointDebugMessage(db->bDebugCheckpointing, "Deleting %s\n", path);
            unlink(path);
        } else {
            char oldPath[kLogPathBuffer];
            if (!qel2::store::JoinStorePath(oldPath, "%s/old.%s", dir, *name)) continue;
            qel2_CheckpointDebugMessage(db->bDebugCheckpointing, "Renaming %s\n", path);
            rename(path, oldPath);
        }
    }
    // One block, allocated through the allocator the open routed to malloc.
    free(files);
}

void DetectDeadlocks(qEL2_CALDB* db) {
    int result = db->dbenv->lock_detect(db->dbenv, 0, DB_LOCK_YOUNGEST, nullptr);
    if (result == 0) {
        gDeadlockFailures = 0;
        return;
    }
    qel2_Log(qEL2_LOG_ERROR, "Failed in deadlock detect, err=%d\n", qel2_pvt_ResultTo42(result));
    if (++gDeadlockFailures > 1) {
        qel2_Log(qEL2_LOG_ERROR, "  successive deadlock detect failures = %d\n",
                 static_cast<int>(gDeadlockFailures));
    }
}

}  // namespace

extern "C" {

int qel2_pvt_SpawnThread(void (*entry)(void*)) {
    PRThread* thread = PR_CreateThread(PR_USER_THREAD, entry, &gCalDB, PR_PRIORITY_NORMAL,
                                       PR_GLOBAL_THREAD, PR_UNJOINABLE_THREAD, 0);
    if (thread) {
        PR_Sleep(PR_INTERVAL_NO_WAIT);
        return 0;
    }
    int error = PR_GetError();
    qel2_Log(qEL2_LOG_CRITICAL, "failed to create thread (NSPR error %d)\n", error);
    qel2_pvt_CloseDB();
    return error;
}

void qel2_CheckpointThreadMain(void* state) {
    auto* db = static_cast<qEL2_CALDB*>(state);
    CountIn(db);
    const PRIntervalTime tick = PR_MillisecondsToInterval(kCheckpointTickMs);
    time_t lastCheckpoint = time(nullptr);
    while (!LoadWord(db->bStop)) {
        if (db->bEnableTransactions && time(nullptr) - lastCheckpoint > db->nCheckpointInterval &&
            db->dbenv) {
            // Twice, so that the second checkpoint moves past the log
            // records the first one wrote.
            Checkpoint(db, &lastCheckpoint);
            Checkpoint(db, &lastCheckpoint);
            ArchiveLogFiles(db);
        }
        PR_Sleep(tick);
    }
    CountOut(db);
}

void qel2_DeadlockThreadMain(void* state) {
    auto* db = static_cast<qEL2_CALDB*>(state);
    const PRIntervalTime interval = PR_MillisecondsToInterval(
        config_get_int(config_getdefaultcache(), "caldb.berkeleydb.deadlockinterval", 100));
    CountIn(db);
    while (!LoadWord(db->bStop)) {
        if (db->bEnableTransactions && db->dbenv) DetectDeadlocks(db);
        PR_Sleep(interval);
    }
    CountOut(db);
}

int qel2_pvt_StopServerAlarmDispatch(void) {
    if (!LoadWord(gCalDB.bAlarmThreadRunning)) return qEL2_ERR_STORE;
    StoreWord(gCalDB.bStopAlarmDispatch, 1);
    PollUntil([] { return !LoadWord(gCalDB.bAlarmThreadRunning); },
              PR_MillisecondsToInterval(kAlarmStopSleepMs),
              [] {
                  qel2_Log(qEL2_LOG_INFO,
                           "qel2_pvt_StopServerAlarmDispatch: waiting for alarm thread to stop\n");
              });
    StoreWord(gCalDB.bStopAlarmDispatch, 0);
    return 0;
}

}  // extern "C"
