// The host speaks Berkeley DB 4.2; the library links 5.3. These tables hold
// 4.2's numbers beside the linked library's named constants.

#include "store/bdb_compat.h"

#include <span>

#include <db.h>

#include <qel2/dbt42.h>
#include <qel2/log.h>

namespace {

// Berkeley DB keeps its negative results in this range.
constexpr int kFirstDbCode = -30999;
constexpr int kLastDbCode = -30800;
constexpr int kNoTwin = 0;

struct ResultPair {
    const char* name;
    int v42;           // kNoTwin: 4.2 has no such code; may be a system error number
    int v53;           // kNoTwin: the linked library has no such code
    const char* text;  // name and words for qel2_ResultText; null: the name alone
};

// A code both versions know, its 4.2 number named in <qel2/results.h>.
#define QEL2_BOTH(name, words) \
    { "DB_" #name, qEL2_DB42_##name, DB_##name, "DB_" #name ": " words }

constexpr ResultPair kResults[] = {
    QEL2_BOTH(DONOTINDEX, "a secondary index callback left the record out"),
    QEL2_BOTH(KEYEMPTY, "the key/data pair was deleted or never created"),
    QEL2_BOTH(KEYEXIST, "the key/data pair already exists"),
    QEL2_BOTH(LOCK_DEADLOCK, "the locker was chosen to resolve a deadlock"),
    QEL2_BOTH(LOCK_NOTGRANTED, "a lock was not granted"),
    QEL2_BOTH(NOSERVER, "no server to dispatch the call to"),
    QEL2_BOTH(NOTFOUND, "no matching key/data pair"),
    QEL2_BOTH(OLD_VERSION, "the database needs a version upgrade"),
    QEL2_BOTH(PAGE_NOTFOUND, "a requested page is not in the file"),
    QEL2_BOTH(REP_DUPMASTER, "a second replication master appeared"),
    QEL2_BOTH(REP_HANDLE_DEAD, "the handle is no longer valid"),
    QEL2_BOTH(REP_HOLDELECTION, "a replication election is needed"),
    QEL2_BOTH(REP_ISPERM, "a permanent replication record was written"),
    QEL2_BOTH(REP_NEWMASTER, "a new replication master was elected"),
    QEL2_BOTH(REP_NEWSITE, "a new replication site joined"),
    QEL2_BOTH(REP_NOTPERM, "a permanent replication record was not written"),
    QEL2_BOTH(REP_UNAVAIL, "too few replication sites to complete the call"),
    QEL2_BOTH(RUNRECOVERY, "a fatal error; the store needs a recovery open"),
    QEL2_BOTH(SECONDARY_BAD, "a secondary index disagrees with its primary"),
    QEL2_BOTH(VERIFY_BAD, "the structural check of a database failed"),
    // Only 4.2: the library never returns these; a host may still hold one.
    {"DB_FILEOPEN", -30998, kNoTwin, nullptr},
    {"DB_NOSERVER_HOME", -30992, kNoTwin, nullptr},
    {"DB_NOSERVER_ID", -30991, kNoTwin, nullptr},
    {"DB_REP_OUTDATED", -30980, kNoTwin, nullptr},
    // 4.2 reported a user buffer too small as ENOMEM.
    {"DB_BUFFER_SMALL", qEL2_ERR_NOMEM, DB_BUFFER_SMALL, nullptr},
    // Only the linked library.
    {"DB_FOREIGN_CONFLICT", kNoTwin, DB_FOREIGN_CONFLICT, nullptr},
    {"DB_HEAP_FULL", kNoTwin, DB_HEAP_FULL, nullptr},
    {"DB_LOG_BUFFER_FULL", kNoTwin, DB_LOG_BUFFER_FULL, nullptr},
    {"DB_LOG_VERIFY_BAD", kNoTwin, DB_LOG_VERIFY_BAD, nullptr},
    {"DB_REP_IGNORE", kNoTwin, DB_REP_IGNORE, nullptr},
    {"DB_REP_JOIN_FAILURE", kNoTwin, DB_REP_JOIN_FAILURE, nullptr},
    {"DB_REP_LEASE_EXPIRED", kNoTwin, DB_REP_LEASE_EXPIRED, nullptr},
    {"DB_REP_LOCKOUT", kNoTwin, DB_REP_LOCKOUT, nullptr},
    {"DB_REP_WOULDROLLBACK", kNoTwin, DB_REP_WOULDROLLBACK, nullptr},
    {"DB_TIMEOUT", kNoTwin, DB_TIMEOUT, nullptr},
    {"DB_VERSION_MISMATCH", kNoTwin, DB_VERSION_MISMATCH, nullptr},
};

#undef QEL2_BOTH

bool IsDbCode(int result) { return result >= kFirstDbCode && result <= kLastDbCode; }

// Finds `result` in the column `from` and returns the column `to`; codes
// outside Berkeley DB's range pass unchanged.
int TranslateResult(int result, int ResultPair::*from, int ResultPair::*to, const char* caller,
                    const char* version) {
    if (!IsDbCode(result)) return result;
    for (const ResultPair& pair : kResults) {
        if (pair.*from != result) continue;
        if (pair.*to != kNoTwin) return pair.*to;
        qel2_Log(qEL2_LOG_ERROR, "%s: %s (%d) has no equivalent in %s; reported as %d\n", caller,
                 pair.name, result, version, qEL2_ERR_INVALID);
        return qEL2_ERR_INVALID;
    }
    qel2_Log(qEL2_LOG_ERROR, "%s: unknown Berkeley DB result %d (%s); reported as %d\n", caller,
             result, db_strerror(result), qEL2_ERR_INVALID);
    return qEL2_ERR_INVALID;
}

struct FlagPair {
    uint32_t v42;
    uint32_t v53;
};

// The flags 4.2's DB->open accepted. DB_DIRTY_READ is called
// DB_READ_UNCOMMITTED in the linked library.
constexpr FlagPair kDbOpenFlags[] = {
    {0x1, DB_CREATE},
    {0x8, DB_NOMMAP},
    {0x10, DB_RDONLY},
    {0x40, DB_THREAD},
    {0x80, DB_TRUNCATE},
    {0x1000, DB_EXCL},
    {0x2000, DB_FCNTL_LOCKING},
    {0x4000, DB_RDWRMASTER},
    {0x8000, DB_WRITEOPEN},
    {0x1000000, DB_AUTO_COMMIT},
    {0x2000000, DB_READ_UNCOMMITTED},
};

// The flags 4.2's DB_ENV->open accepted. DB_JOINENV is 0 in the linked
// library, which always joins an existing environment.
constexpr FlagPair kEnvOpenFlags[] = {
    {0x1, DB_CREATE},          {0x20, DB_RECOVER},           {0x40, DB_THREAD},
    {0x400, DB_USE_ENVIRON},   {0x800, DB_USE_ENVIRON_ROOT}, {0x1000, DB_INIT_CDB},
    {0x2000, DB_INIT_LOCK},    {0x4000, DB_INIT_LOG},        {0x8000, DB_INIT_MPOOL},
    {0x10000, DB_INIT_REP},    {0x20000, DB_INIT_TXN},       {0x40000, DB_JOINENV},
    {0x80000, DB_LOCKDOWN},    {0x100000, DB_PRIVATE},       {0x200000, DB_RECOVER_FATAL},
    {0x400000, DB_SYSTEM_MEM},
};

// The memory flags of a key or value descriptor.
constexpr FlagPair kDbtFlags[] = {
    {qEL2_DBT_MALLOC, DB_DBT_MALLOC},
    {qEL2_DBT_PARTIAL, DB_DBT_PARTIAL},
    {qEL2_DBT_REALLOC, DB_DBT_REALLOC},
    {qEL2_DBT_USERMEM, DB_DBT_USERMEM},
};

// The bits of `flags` found in the column `from`, as the column `to` has
// them; bits the table does not hold are dropped.
uint32_t MapBits(uint32_t flags, std::span<const FlagPair> table, uint32_t FlagPair::*from,
                 uint32_t FlagPair::*to) {
    uint32_t out = 0;
    for (const FlagPair& pair : table) {
        if (flags & pair.*from) out |= pair.*to;
    }
    return out;
}

// A bit the call did not take is refused rather than dropped: dropping it
// would open the store differently from what the host asked for.
int TranslateFlags(uint32_t flags42, uint32_t* flags, std::span<const FlagPair> table,
                   const char* caller) {
    uint32_t known = 0;
    for (const FlagPair& pair : table) known |= pair.v42;
    const uint32_t out = MapBits(flags42, table, &FlagPair::v42, &FlagPair::v53);
    if (uint32_t unknown = flags42 & ~known) {
        qel2_Log(qEL2_LOG_ERROR, "%s: flag bits 0x%x are not Berkeley DB 4.2 flags of this call\n",
                 caller, unknown);
        return qEL2_ERR_INVALID;
    }
    *flags = out;
    return 0;
}

}  // namespace

extern "C" {

int qel2_pvt_ResultTo42(int result) {
    return TranslateResult(result, &ResultPair::v53, &ResultPair::v42, "qel2_pvt_ResultTo42",
                           "Berkeley DB 4.2");
}

const char* qel2_pvt_ResultText42(int code42) {
    if (!IsDbCode(code42)) return nullptr;
    for (const ResultPair& pair : kResults) {
        if (pair.v42 == code42) return pair.text ? pair.text : pair.name;
    }
    return nullptr;
}

int qel2_pvt_DbOpenFlagsFrom42(uint32_t flags42, uint32_t* flags) {
    return TranslateFlags(flags42, flags, kDbOpenFlags, "qel2_pvt_DbOpenFlagsFrom42");
}

int qel2_pvt_EnvOpenFlagsFrom42(uint32_t flags42, uint32_t* flags) {
    return TranslateFlags(flags42, flags, kEnvOpenFlags, "qel2_pvt_EnvOpenFlagsFrom42");
}

void qel2_pvt_DbtFrom42(const qEL2_DBT* dbt42, DBT* dbt) {
    *dbt = DBT{};
    dbt->data = dbt42->data;
    dbt->size = dbt42->size;
    dbt->ulen = dbt42->ulen;
    dbt->dlen = dbt42->dlen;
    dbt->doff = dbt42->doff;
    dbt->flags = MapBits(dbt42->flags, kDbtFlags, &FlagPair::v42, &FlagPair::v53);
}

void qel2_pvt_DbtTo42(const DBT* dbt, qEL2_DBT* dbt42) {
    dbt42->data = dbt->data;
    dbt42->size = dbt->size;
    dbt42->ulen = dbt->ulen;
    dbt42->dlen = dbt->dlen;
    dbt42->doff = dbt->doff;
    dbt42->flags = MapBits(dbt->flags, kDbtFlags, &FlagPair::v53, &FlagPair::v42);
}

}  // extern "C"
