// Size on disk and record counts of the store, and its recorded version.

#include <cerrno>
#include <cstdlib>

#include <nspr.h>
#include <sys/stat.h>

#include <qel2/host.h>
#include <qel2/keys.h>
#include <qel2/log.h>
#include <qel2/store_internal.h>

#include "store/bdb_compat.h"
#include "store/store_path.h"

namespace {

constexpr size_t kPathBuffer = 512;
constexpr int kDatabaseFiles = 4;

// Sizes of the four database files in the configured home directory,
// which may differ from the one the store was opened with.
uint32_t TotalFileSize() {
    char* dir = config_get_stringcopy(config_getdefaultcache(), "caldb.berkeleydb.homedir.path", ".");
    uint32_t total = 0;
    for (int i = 0; i < kDatabaseFiles; ++i) {
        char path[kPathBuffer];
        struct stat info;
        if (qel2store::JoinStorePath(path, "%s/%s", dir, qel2_asDBFiles[i]) && stat(path, &info) == 0) total += static_cast<uint32_t>(info.st_size);
    }
    free(dir);
    return total;
}

struct Walk {
    uint32_t count = 0;
    int end = 0;  // the linked library's result that ended the walk
};

// Counts the records of an open cursor; the key lands in a user buffer of
// the database's key length, each value is released at once.
Walk CountRecords(DBC* cursor, uint32_t keyLength) {
    unsigned char keyBuffer[qEL2_EVENT_KEY_SIZE] = {};
    DBT key = {};
    key.data = keyBuffer;
    key.ulen = keyLength;
    key.flags = DB_DBT_USERMEM;
    Walk walk;
    for (;;) {
        DBT value = {};
        value.flags = DB_DBT_MALLOC;
        walk.end = cursor->get(cursor, &key, &value, DB_NEXT);
        if (walk.end != 0) break;
        free(value.data);
        ++walk.count;
    }
    cursor->close(cursor);
    return walk;
}

// A closed store has no handle to open a cursor on: that is the same
// failure as a cursor the library refuses.
int OpenCursor(DB* db, DBC** cursor) {
    return db != nullptr ? db->cursor(db, nullptr, cursor, 0) : EINVAL;
}

// The event and to-do walks report a cursor that cannot be opened and an
// ending other than the end of the data.
int CountLogged(DB* db, uint32_t keyLength, const char* cursorMessage, uint32_t* count) {
    DBC* cursor = nullptr;
    if (int result = OpenCursor(db, &cursor)) {
        return qel2_pvt_LogAndReturnError(qEL2_ERR_NOMEM, cursorMessage, qel2_pvt_ResultTo42(result));
    }
    Walk walk = CountRecords(cursor, keyLength);
    if (walk.end != DB_NOTFOUND) {
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
        DBC* cursor = nullptr;
        if (OpenCursor(gCalDB.pCalPropsDB, &cursor) != 0) {
            return qEL2_ERR_MISSING;
        }
        statistics->nCalProps = CountRecords(cursor, qEL2_CALPROPS_KEY_SIZE).count;
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
        DBC* cursor = nullptr;
        if (int result = OpenCursor(gCalDB.pAlarmDB, &cursor)) {
            return qel2_pvt_LogAndReturnError(qEL2_ERR_NOMEM,
                                              "qel2_pvt_GetStats: pAlarmDB->cursor() returned %d\n",
                                              qel2_pvt_ResultTo42(result));
        }
        statistics->nAlarms = CountRecords(cursor, qEL2_ALARM_KEY_SIZE).count;
    }
    return 0;
}

int qel2_pvt_GetDBVersion(char* buffer, uint32_t size) {
    if (gCalDB.pszHomeDir == nullptr) return qEL2_ERR_MISSING;
    char path[kPathBuffer];
    if (!qel2store::JoinStorePath(path, "%s/%s", gCalDB.pszHomeDir, qel2_asDBFiles[4])) {
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
