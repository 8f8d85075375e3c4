// The process-wide store state and the table of store file names.

#include <qel2/store_internal.h>

extern "C" {

// Zero-filled at load; every open zeroes it again.
qEL2_CALDB gCalDB;

const char* qel2_asDBFiles[10] = {
    "events.db",       "todos.db",       "calprops.db",      "alarms.db",      "caldb.conf",
    "__db_lock.share", "__db_log.share", "__db_mpool.share", "__db_txn.share", nullptr};

}  // extern "C"
