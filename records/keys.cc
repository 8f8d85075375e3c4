// Record keys: MD5 digests of identifiers, and the B-tree key orders.

#include <qel2/keys.h>

#include <cstring>

namespace {

int CompareU32(uint32_t a, uint32_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

const unsigned char* Bytes(const DBT* dbt) { return static_cast<const unsigned char*>(dbt->data); }

}  // namespace

extern "C" {

int qel2_pvt_IdCompare(const unsigned char* a, const unsigned char* b) {
    for (int i = 0; i < qEL2_HASH_SIZE; ++i) {
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    }
    return 0;
}

int CalPropsKeyCompare(DB*, const DBT* a, const DBT* b) {
    return qel2_pvt_IdCompare(Bytes(a), Bytes(b));
}

// Calendar hash, then unique-id hash, then the recurrence id as a number,
// so the instances of one event follow each other in ascending order.
int EventKeyCompare(DB*, const DBT* a, const DBT* b) {
    const unsigned char* x = Bytes(a);
    const unsigned char* y = Bytes(b);
    if (int c = qel2_pvt_IdCompare(x, y)) return c;
    if (int c = qel2_pvt_IdCompare(x + 16, y + 16)) return c;
    return CompareU32(qel2_KeyGetU32(x + 32), qel2_KeyGetU32(y + 32));
}

int AlarmKeyCompare(DB*, const DBT* a, const DBT* b) {
    const unsigned char* x = Bytes(a);
    const unsigned char* y = Bytes(b);
    if (int c = CompareU32(qel2_KeyGetU32(x), qel2_KeyGetU32(y))) return c;
    if (int c = qel2_pvt_IdCompare(x + 4, y + 4)) return c;
    return CompareU32(qel2_KeyGetU32(x + 20), qel2_KeyGetU32(y + 20));
}

void qel2_pvt_MD5Hash(const char* text, unsigned char* digest) {
    util_md5_ctx ctx;
    util_MD5Init(&ctx);
    util_MD5Update(&ctx, text, strlen(text));
    util_MD5Final(&ctx);
    memcpy(digest, ctx.digest, qEL2_HASH_SIZE);
}

void qel2_pvt_CompHashCore(const qEL2_CALPROPS* calendar, const char* uid, uint32_t recurrenceId,
                           unsigned char* key) {
    memcpy(key, calendar->idHash, qEL2_HASH_SIZE);
    qel2_pvt_MD5Hash(uid, key + 16);
    qel2_KeyPutU32(key + 32, recurrenceId);
}

DBT* qel2_KeyLocateByCalendar(DBT* key, DBT* data, unsigned char* keyBuffer,
                              const qEL2_CALPROPS* calendar) {
    memset(key, 0, sizeof *key);
    memset(data, 0, sizeof *data);
    memset(keyBuffer, 0, qEL2_EVENT_KEY_SIZE);
    memcpy(keyBuffer, calendar->idHash, qEL2_HASH_SIZE);
    // A 16-byte key compares as if the rest were zero (the comparison reads
    // all 36 bytes of the zeroed buffer), so DB_SET_RANGE lands on the
    // calendar's first record.
    key->data = keyBuffer;
    key->size = qEL2_HASH_SIZE;
    key->ulen = qEL2_EVENT_KEY_SIZE;
    key->flags = DB_DBT_USERMEM;
    data->flags = DB_DBT_MALLOC;
    return key;
}

}  // extern "C"
