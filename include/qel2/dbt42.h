/*
 * The key and value descriptor of Berkeley DB 4.2, as the host knows it.
 *
 * The host is built against Berkeley DB 4.2, so the descriptors it hands to
 * the core reads and to qel2_KeyLocateByCalendar have 4.2's six fields and
 * carry 4.2's flag numbers. The library links a later Berkeley DB whose
 * descriptor is longer and numbers its flags differently; it translates at
 * its boundary and never writes past these six fields.
 */
#ifndef QEL2_DBT42_H
#define QEL2_DBT42_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct qEL2_DBT {
    void* data;    /* the key or value bytes */
    uint32_t size; /* their length */
    uint32_t ulen; /* room in `data` with qEL2_DBT_USERMEM */
    uint32_t dlen; /* partial reads only */
    uint32_t doff;
    uint32_t flags; /* qEL2_DBT_* */
} qEL2_DBT;

/* Flags with Berkeley DB 4.2's numbers. */
#define qEL2_DBT_MALLOC 0x004u  /* the value comes back in a buffer released with free() */
#define qEL2_DBT_PARTIAL 0x008u /* dlen bytes from doff */
#define qEL2_DBT_REALLOC 0x010u /* the buffer in `data` is grown with realloc() */
#define qEL2_DBT_USERMEM 0x020u /* the caller's buffer in `data`, ulen bytes */

#ifdef __cplusplus
}
#endif

#endif /* QEL2_DBT42_H */
