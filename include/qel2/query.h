/*
 * Reading calendar properties, events and to-dos from the open store.
 * Results and ownership follow the conventions of <qel2/qel2.h>.
 */
#ifndef QEL2_QUERY_H
#define QEL2_QUERY_H

#include <stdint.h>

#include <qel2/dbt42.h>
#include <qel2/export.h>
#include <qel2/host.h>
#include <qel2/records.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Calendar properties ------------------------------------------------ */

/* Fields a search looks at (bit mask). */
#define qEL2_SEARCH_CALID 1u  /* calendar id */
#define qEL2_SEARCH_NAME 2u   /* calendar name */
#define qEL2_SEARCH_OWNERS 4u /* primary owner, then the other owners */

/* How a pattern matches one field value; any other value acts as CONTAINS. */
#define qEL2_MATCH_CONTAINS 0u /* anywhere, case ignored */
#define qEL2_MATCH_BEGINS 1u   /* at the start, case ignored */
#define qEL2_MATCH_ENDS 2u     /* at the end, case ignored */
#define qEL2_MATCH_EXACT 3u    /* whole value, case significant */

/* The request a search hands to its filter (qel2_pvt_SearchCalProps). */
typedef struct qEL2_CALPROPS_SEARCH {
    const char* pPattern; /* null selects every calendar */
    uint32_t iFields;     /* qEL2_SEARCH_* bits */
    uint32_t iMode;       /* qEL2_MATCH_* */
} qEL2_CALPROPS_SEARCH;

/* Nonzero keeps the record. */
typedef int (*qEL2_CALPROPS_FILTER)(const qEL2_CALPROPS* calprops, const void* argument);

/* One calendar by id; the record comes back with idHash valid. */
QEL2_API int qel2_pvt_ReadCalProps(char* calendarId, qEL2_CALPROPS** calprops);
/* Every calendar the filter keeps, at most `limit` (0: no limit). */
QEL2_API int qel2_pvt_ScanCalProps(array_t** list, uint32_t limit, const void* argument,
                                   qEL2_CALPROPS_FILTER filter);
/* Calendars whose chosen fields match `pattern`. */
QEL2_API int qel2_pvt_SearchCalProps(const char* pattern, uint32_t fields, uint32_t mode,
                                     uint32_t limit, array_t** list);

/* ---- Events and to-dos ------------------------------------------------- */

/* Read flag: also return records whose Tombstone bit is set. */
#define qEL2_READ_TOMBSTONES 1u

QEL2_API int qel2_pvt_ReadEvent(qEL2_CALPROPS* calendar, char* uid, int32_t recurrenceId,
                                uint32_t flags, qEL2_VEVENT** event);
/* The read of one event by a key the caller built (qel2_pvt_CompHashCore):
 * `key` holds its 36 bytes in `data`. Both descriptors are Berkeley DB
 * 4.2's; the read sets their flags (qEL2_DBT_USERMEM on the key,
 * qEL2_DBT_MALLOC on the value) and releases the value buffer itself.
 * `calendar` may be null: a link is then followed without the test for a
 * link back into the same calendar. */
QEL2_API int qel2_pvt_ReadEventCore(qEL2_CALPROPS* calendar, qEL2_DBT* key, qEL2_DBT* value,
                                    uint32_t flags, qEL2_VEVENT** event);
QEL2_API int qel2_pvt_ReadEventListByRange(qEL2_CALPROPS* calendar, int32_t start, int32_t end,
                                           uint32_t flags, array_t** list);

QEL2_API int qel2_pvt_ReadToDo(qEL2_CALPROPS* calendar, char* uid, int32_t recurrenceId,
                               uint32_t flags, qEL2_VTODO** todo);
/* As qel2_pvt_ReadEventCore, for a to-do. */
QEL2_API int qel2_pvt_ReadToDoCore(qEL2_CALPROPS* calendar, qEL2_DBT* key, qEL2_DBT* value,
                                   uint32_t flags, qEL2_VTODO** todo);
QEL2_API int qel2_pvt_ReadToDoListByRange(qEL2_CALPROPS* calendar, int32_t start, int32_t end,
                                          uint32_t flags, array_t** list);

#ifdef __cplusplus
}
#endif

#endif /* QEL2_QUERY_H */
