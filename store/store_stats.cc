// Size on disk and record counts of the store, and its recorded version.

#include <cstdlib>

#include <nspr.h>
#include <sys/stat.h>

#include <qel2/bdb_holders.h>
#include <qel2/host.h>
#include <qel2/keys.h>
#include <qel2/log.h>
#include <qel2/store_internal.h>

#include "store/bdb_compat.h"
#include "store/store_path.h"

namespace {

constexpr size_t kPathBuffer = 512;

// Sizes of the four database files in the configured home directory,
// which may differ from the one the store was opened with.
uint32_t TotalFileSize() {
    char* dir =
        config_get_stringcopy(config_getdefaultcache(), "caldb.berkeleydb.homedir.path", ".");
    uint32_t total = 0;
    for (int i = 0; i < qEL2_DATABASE_FILES; ++i) {
        char path[kPathBuffer];
        struct stat info;
        if (qel2::store::JoinStorePath(path, "%s/%s", dir, qel2_asDBFiles[i]) &&
            stat(path, &info) == 0)
            total += static_cast<uint32_t>(info.st_size);
    }
    free(dir);
    return total;
}

struct Walk {
    uint32_t count = 0;
    int end = 0;  // the linked library's result that ended the walk
};

// Counts the records of `db`: the key lands in a user buffer of the
// database's key length, each value is released at once. 0, or the result
// of opening the cursor; a closed store has no handle to open a cursor on,
// the same failure as a cursor the library refuses.
int CountRecords(DB* db, uint32_t keyLength, Walk& walk) {
    if (db == nullptr) return qEL2_ERR_INVALID;
    qel2::Cursor cursor;
    if (int result = cursor.open(db)) return result;
    unsigned char keyBuffer[qEL2_EVENT_KEY_SIZE] = {};
    DBT key = {};
    qel2::UserKey(key, keyBuffer, 0, keyLength);
    qel2::MallocValue value;
    while ((walk.end = cursor.read(&key, value.get())) == 0) {
        value.release();
        ++walk.count;
    }
    return 0;
}

// The event, to-do and alarm walks report a cursor that cannot be opened;
// the event and to-do walks an ending other than the end of the data too.
int CountLogged(DB* db, uint32_t keyLength, const char* cursorMessage, uint32_t* count,
                bool logEnd = true) {
    Walk walk;
    if (int result = CountRecords(db, keyLength, walk)) {
        return qel2_pvt_LogAndReturnError(qEL2_ERR_NOMEM, cursorMessage,
                                          qel2_pvt_ResultTo42(result));
    }
    if (logEnd && walk.end != DB_NOTFOUND) {
        qel2_Log(qEL2_LOG_ERROR, "qel2_pvt_GetStats: get: %d\n", qel2_pvt_ResultTo42(walk.end));
    }
    *count = walk.count;
    return 0;
}

}  // namespace

extern "C" {

int qel2_pvt_GetStats(qEL2_DB_STATISTICS* statistics, uint32_t request) {
    if (statistics == nullptr) return 0;
    *statistics = {};
    if (request & qEL2_STATS_FILE_SIZE) statistics->nTotalFileSize = TotalFileSize();

    if (request & qEL2_STATS_CALPROPS) {
        Walk walk;
        if (CountRecords(gCalDB.pCalPropsDB, qEL2_CALPROPS_KEY_SIZE, walk) != 0)
            return qEL2_ERR_MISSING;
        statistics->nCalProps = walk.count;
    }
    if (request & qEL2_STATS_EVENTS) {
        if (int result = CountLogged(gCalDB.pEventDB, qEL2_EVENT_KEY_SIZE,
                                     "qel2_pvt_GetStats: pEventDB->cursor() returned %d\n",
                                     &statistics->nEvents)) {
            return result;
        }
    }
    if (request & qEL2_STATS_TODOS) {
        if (int result = CountLogged(gCalDB.pToDoDB, qEL2_TODO_KEY_SIZE,
                                     "qel2_pvt_GetStats: pToDoDB->cursor() returned %d\n",
                                     &statistics->nToDos)) {
            return result;
        }
        if (int result = CountLogged(gCalDB.pAlarmDB, qEL2_ALARM_KEY_SIZE,
                                     "qel2_pvt_GetStats: pAlarmDB->cursor() returned %d\n",
                                     &statistics->nAlarms, false)) {
            return result;
        }
    }
    return 0;
}

int qel2_pvt_GetDBVersion(char* buffer, uint32_t size) {
    if (gCalDB.pszHomeDir == nullptr) return qEL2_ERR_MISSING;
    char path[kPathBuffer];
    if (!qel2::store::JoinStorePath(path, "%s/%s", gCalDB.pszHomeDir,
                                    qel2_asDBFiles[qEL2_FILE_CONF])) {
        return qEL2_ERR_STORE;
    }
    calconf_file* conf = nullptr;
    if (calconf_Open(path, &conf) != 0) return qEL2_ERR_STORE;
    char* version = calconf_GetCopy(conf, "caldb.version");
    if (version) {
        PR_snprintf(buffer, size, "%s", version);
    } else {
        buffer[0] = '\0';
    }
    PR_Free(version);
    calconf_Close(&conf, 0);
    return 0;
}

}  // extern "C"
