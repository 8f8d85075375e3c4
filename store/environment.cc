// Creating, configuring and opening the Berkeley DB environment.

#include <cerrno>
#include <string>

#include <sys/stat.h>

#include <qel2/host.h>
#include <qel2/log.h>
#include <qel2/store_internal.h>

#include "foundation/out_of_memory.h"
#include "store/bdb_compat.h"

namespace {

constexpr uint32_t kMegabyteShift = 20;
constexpr uint32_t kMaxLocks = 50000;

// The linked library's error callback also passes the environment; the
// host's callback takes only the prefix and the message.
void ForwardDbError(const DB_ENV*, const char* prefix, const char* message) {
    qel2_recover_err(prefix, const_cast<char*>(message));
}

// A store last used by Berkeley DB 4.2 keeps 4.2 region files, which the
// linked library refuses with EINVAL; a recovery open replaces them. The
// first region file tells that case apart from other EINVAL failures.
void ExplainOldRegionFiles(int openResult, const char* home) {
    struct stat info;
    std::string region = std::string(home) + "/__db.001";
    if (openResult != EINVAL || stat(region.c_str(), &info) != 0) return;
    qel2_Log(qEL2_LOG_ERROR,
             "qel2_InitializeEnvironment: the store's region files were left by an older Berkeley "
             "DB; open it once with recovery (DB_RECOVER) to replace them\n");
}

}  // namespace

extern "C" {

DB_ENV* qel2_InitializeEnvironment(uint32_t recoverFlags, int* error) {
    *error = qEL2_OK;
    config_cache* cache = config_getdefaultcache();
    uint32_t mempoolMb = config_get_int(cache, "caldb.berkeleydb.mempoolsizemb", 4);
    uint32_t logFileMb = config_get_int(cache, "caldb.berkeleydb.logfilesizemb", 10);

    DB_ENV* env = nullptr;
    if (db_env_create(&env, 0) != 0) {
        // The line names running out of memory whatever the actual result was.
        qel2::LogOutOfMemory("qel2_InitializeEnvironment: %d %s\n", qEL2_ERR_NOMEM);
        *error = qEL2_ERR_MISSING;
        return nullptr;
    }

    env->set_errcall(env, ForwardDbError);
    env->set_errpfx(env, "qEL2");
    env->set_cachesize(env, 0, mempoolMb << kMegabyteShift, 0);
    env->set_lg_max(env, logFileMb << kMegabyteShift);
    env->set_lk_detect(env, DB_LOCK_OLDEST);
    // 4.2's set_lk_max set the three lock limits together.
    env->set_lk_max_locks(env, kMaxLocks);
    env->set_lk_max_lockers(env, kMaxLocks);
    env->set_lk_max_objects(env, kMaxLocks);
    env->set_tx_max(env, config_get_int(cache, "caldb.berkeleydb.maxthreads", 10000));

    uint32_t openFlags = 0;
    // Both recovery bits are 4.2 flags of this call: the translation cannot
    // refuse them.
    qel2_pvt_EnvOpenFlagsFrom42(recoverFlags & qEL2_DB42_RECOVERY_BITS, &openFlags);
    openFlags |= DB_CREATE | DB_INIT_LOCK | DB_INIT_LOG | DB_INIT_MPOOL | DB_INIT_TXN;
    // A recovery run may name files through the process environment and is
    // not free-threaded; a normal open is.
    openFlags |= (openFlags & (DB_RECOVER | DB_RECOVER_FATAL)) ? DB_USE_ENVIRON : DB_THREAD;

    env->set_flags(env, DB_TXN_NOSYNC, 1);
    if (int result = env->open(env, gCalDB.pszHomeDir, openFlags, 0)) {
        qel2_Log(qEL2_LOG_ERROR, "qel2_InitializeEnvironment: dbenv->open returned %d\n",
                 qel2_pvt_ResultTo42(result));
        ExplainOldRegionFiles(result, gCalDB.pszHomeDir);
        // The linked library wants a failed handle closed; dropping it
        // would leak its memory.
        env->close(env, 0);
        *error = qEL2_ERR_STORE;
        return nullptr;
    }
    return env;
}

}  // extern "C"
