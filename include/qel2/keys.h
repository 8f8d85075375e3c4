/*
 * Record keys: MD5 digests of text identifiers, and the key order of each
 * database.
 *
 *   calprops.db  16 bytes: MD5 of the calendar id
 *   events.db,   36 bytes: calendar hash, MD5 of the unique id,
 *   todos.db               recurrence id (uint32, little-endian)
 *   alarms.db    24 bytes: leading uint32 (little-endian), 16-byte id,
 *                          trailing uint32 (little-endian)
 */
#ifndef QEL2_KEYS_H
#define QEL2_KEYS_H

#include <qel2/dbt42.h>
#include <qel2/export.h>
#include <qel2/records.h>

#ifdef __cplusplus
extern "C" {
#endif

#define qEL2_CALPROPS_KEY_SIZE 16
#define qEL2_EVENT_KEY_SIZE 36
#define qEL2_TODO_KEY_SIZE 36
#define qEL2_ALARM_KEY_SIZE 24
#define qEL2_HASH_SIZE 16

/* Compares 16 bytes as unsigned values: -1, 0 or 1. */
QEL2_API int qel2_pvt_IdCompare(const unsigned char* a, const unsigned char* b);

/* MD5 of strlen(text) characters into `digest` (16 bytes). */
QEL2_API void qel2_pvt_MD5Hash(const char* text, unsigned char* digest);

/* Fills a 36-byte event or to-do key from the calendar's idHash, the MD5 of
 * `uid` and the recurrence id (little-endian). */
QEL2_API void qel2_pvt_CompHashCore(const qEL2_CALPROPS* calendar, const char* uid,
                                    uint32_t recurrenceId, unsigned char* key);

/* Prepares a DB_SET_RANGE search for the first record of a calendar: the
 * key is the calendar hash alone (size 16) in the zeroed 36-byte
 * `keyBuffer` (qEL2_DBT_USERMEM, ulen 36), the value qEL2_DBT_MALLOC.
 * Every other field of both descriptors is zeroed. Returns `key`. */
QEL2_API qEL2_DBT* qel2_KeyLocateByCalendar(qEL2_DBT* key, qEL2_DBT* data, unsigned char* keyBuffer,
                                            const qEL2_CALPROPS* calendar);

/* Little-endian 32-bit values inside keys, at any alignment. */
static inline uint32_t qel2_KeyGetU32(const unsigned char* bytes) {
    return (uint32_t)bytes[0] | ((uint32_t)bytes[1] << 8) | ((uint32_t)bytes[2] << 16) |
           ((uint32_t)bytes[3] << 24);
}
static inline void qel2_KeyPutU32(unsigned char* bytes, uint32_t value) {
    bytes[0] = (unsigned char)value;
    bytes[1] = (unsigned char)(value >> 8);
    bytes[2] = (unsigned char)(value >> 16);
    bytes[3] = (unsigned char)(value >> 24);
}

/* An event or to-do key keeps its recurrence id after the calendar's and
 * the unique id's digests. */
#define qEL2_KEY_RECURRENCE_OFFSET (2 * qEL2_HASH_SIZE)
static inline uint32_t qel2_KeyRecurrenceId(const unsigned char* key) {
    return qel2_KeyGetU32(key + qEL2_KEY_RECURRENCE_OFFSET);
}

#ifdef __cplusplus
}
#endif

#endif /* QEL2_KEYS_H */
