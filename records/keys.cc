// Record keys: MD5 digests of identifiers, and the keys of the reads.

#include <qel2/keys.h>

#include <cstring>

namespace {

// Field by field: the host's descriptor may end right after `flags`, while
// sizeof counts the padding a 64-bit build adds behind it.
void ClearFields(qEL2_DBT* dbt) {
    dbt->data = nullptr;
    dbt->size = dbt->ulen = dbt->dlen = dbt->doff = dbt->flags = 0;
}

}  // namespace

extern "C" {

int qel2_pvt_IdCompare(const unsigned char* a, const unsigned char* b) {
    for (int i = 0; i < qEL2_HASH_SIZE; ++i) {
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    }
    return 0;
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
    qel2_KeyPutU32(key + qEL2_KEY_RECURRENCE_OFFSET, recurrenceId);
}

qEL2_DBT* qel2_KeyLocateByCalendar(qEL2_DBT* key, qEL2_DBT* data, unsigned char* keyBuffer,
                                   const qEL2_CALPROPS* calendar) {
    ClearFields(key);
    ClearFields(data);
    memset(keyBuffer, 0, qEL2_EVENT_KEY_SIZE);
    memcpy(keyBuffer, calendar->idHash, qEL2_HASH_SIZE);
    // A 16-byte key compares as if the rest were zero (the comparison reads
    // all 36 bytes of the zeroed buffer), so DB_SET_RANGE lands on the
    // calendar's first record.
    key->data = keyBuffer;
    key->size = qEL2_HASH_SIZE;
    key->ulen = qEL2_EVENT_KEY_SIZE;
    key->flags = qEL2_DBT_USERMEM;
    data->flags = qEL2_DBT_MALLOC;
    return key;
}

}  // extern "C"
