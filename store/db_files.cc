// The table of store file names, the version check of caldb.conf and the
// opening and closing of the four database files.

#include <cstdio>
#include <cstring>
#include <iterator>

#include <nspr.h>

#include <qel2/host.h>
#include <qel2/log.h>
#include <qel2/store_internal.h>

#include "store/bdb_compat.h"
#include "store/store_path.h"

namespace {

constexpr size_t kPathBuffer = 512;
constexpr int kFileMode = 0664;

// 0 when caldb.conf in the home directory holds the version this library
// reads, else 2 with the reason logged.
int CheckStoreVersion() {
    char path[kPathBuffer];
    // A path too long for the buffer cannot locate the store's own file.
    FILE* probe =
        qel2::store::JoinStorePath(path, "%s/%s", gCalDB.pszHomeDir, qel2_asDBFiles[qEL2_FILE_CONF])
            ? fopen(path, "r")
            : nullptr;
    if (probe) {
        fclose(probe);
    } else {
        qel2_Log(qEL2_LOG_ERROR,
                 "Failed to locate caldb.conf.  File must exist for opening the Database\n");
        return qEL2_ERR_STORE;
    }

    calconf_file* conf = nullptr;
    if (calconf_Open(path, &conf) != 0) return qEL2_ERR_STORE;
    char* version = calconf_GetCopy(conf, "caldb.version");
    bool accepted = version != nullptr && strcmp(version, qEL2_STORE_VERSION) == 0;
    PR_Free(version);
    calconf_Close(&conf, 0);
    if (!accepted) {
        qel2_Log(qEL2_LOG_ERROR,
                 "Failed dbversion check. Database may be corrupted or version numbers are "
                 "mismatched\n");
        return qEL2_ERR_STORE;
    }
    return qEL2_OK;
}

}  // namespace

extern "C" {

const char* qel2_asDBFiles[10] = {
    "events.db",       "todos.db",       "calprops.db",      "alarms.db",      "caldb.conf",
    "__db_lock.share", "__db_log.share", "__db_mpool.share", "__db_txn.share", nullptr};

int qel2_OpenAllDBFiles(uint32_t dbFlags) {
    if (int result = CheckStoreVersion()) return result;

    DB** handles[] = {&gCalDB.pEventDB, &gCalDB.pToDoDB, &gCalDB.pCalPropsDB, &gCalDB.pAlarmDB};
    for (size_t i = 0; i < std::size(handles); ++i) {
        if (int result =
                qel2_pvt_OpenDBCore(gCalDB.dbenv, handles[i], dbFlags, qel2_asDBFiles[i])) {
            qel2_CloseAllDBFiles();
            return result;
        }
    }
    return qEL2_OK;
}

int qel2_CloseAllDBFiles(void) {
    qel2_pvt_CloseDBFile(&gCalDB.pEventDB);
    qel2_pvt_CloseDBFile(&gCalDB.pToDoDB);
    qel2_pvt_CloseDBFile(&gCalDB.pCalPropsDB);
    qel2_pvt_CloseDBFile(&gCalDB.pAlarmDB);
    return 0;
}

int qel2_pvt_OpenDBCore(DB_ENV*, DB** handle, uint32_t dbFlags, const char* file) {
    // The handle was created in the environment, which also makes the file
    // name relative to its home directory.
    uint32_t flags = 0;
    int result = qel2_pvt_DbOpenFlagsFrom42(dbFlags, &flags);
    if (result == 0)
        result = (*handle)->open(*handle, nullptr, file, nullptr, DB_BTREE, flags, kFileMode);
    if (result == 0) return 0;

    (*handle)->close(*handle, 0);
    *handle = nullptr;
    int code = qel2_pvt_ResultTo42(result);
    qel2_Log(qEL2_LOG_ERROR, "qel2_pvt_OpenDBCore: %s: %d = %s", file, code, strerror(code));
    return code;
}

int qel2_pvt_CloseDBFile(DB** handle) {
    if (*handle) {
        if (int result = (*handle)->close(*handle, 0)) {
            qel2_Log(qEL2_LOG_ERROR, "db->close: %d\n", qel2_pvt_ResultTo42(result));
        }
    }
    *handle = nullptr;
    return 0;
}

}  // extern "C"
