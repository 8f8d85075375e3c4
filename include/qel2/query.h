/*
 * Reading calendar properties, events and to-dos from the open store.
 *
 * Every read returns an int result (0 success; 1, 2, 3, 12, 10000 the
 * library's codes; otherwise a Berkeley DB result as 4.2 numbers it) and
 * hands its records to the caller, who releases them with the destructors
 * of <qel2/records.h>.
 */
#ifndef QEL2_QUERY_H
#define QEL2_QUERY_H

#include <stdint.h>

#include <db.h>

#include <qel2/host.h>
#include <qel2/records.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Calendar properties ------------------------------------------------ */

/* Fields a search looks at (bit mask). */
#define qEL2_SEARCH_CALID  1u   /* calendar id */
#define qEL2_SEARCH_NAME   2u   /* calendar name */
#define qEL2_SEARCH_OWNERS 4u   /* primary owner, then the other owners */

/* How a pattern matches one field value; any other value acts as CONTAINS. */
#define qEL2_MATCH_CONTAINS 0u  /* anywhere, case ignored */
#define qEL2_MATCH_BEGINS   1u  /* at the start, case ignored */
#define qEL2_MATCH_ENDS     2u  /* at the end, case ignored */
#define qEL2_MATCH_EXACT    3u  /* whole value, case significant */

/* The request a search hands to its filter. */
typedef struct qEL2_CALPROPS_SEARCH {
    const char* pPattern;  /* null selects every calendar */
    uint32_t iFields;      /* qEL2_SEARCH_* bits */
    uint32_t iMode;        /* qEL2_MATCH_* */
} qEL2_CALPROPS_SEARCH;

/* Nonzero keeps the record. */
typedef int (*qEL2_CALPROPS_FILTER)(const qEL2_CALPROPS* calprops, const void* argument);

/* One calendar by id; the record comes back with idHash valid. */
int qel2_pvt_ReadCalProps(char* calendarId, qEL2_CALPROPS** calprops);
/* Every calendar the filter keeps, at most `limit` (0: no limit). */
int qel2_pvt_ScanCalProps(array_t** list, uint32_t limit, const void* argument,
                          qEL2_CALPROPS_FILTER filter);
/* Calendars whose chosen fields match `pattern`. */
int qel2_pvt_SearchCalProps(const char* pattern, uint32_t fields, uint32_t mode, uint32_t limit,
                            array_t** list);

/* ---- Events and to-dos ------------------------------------------------- */

/* Read flag: also return records whose Tombstone bit is set. */
#define qEL2_READ_TOMBSTONES 1u

/* The request a time-window read hands to its filter. */
typedef struct qEL2_RANGE_FILTER {
    uint32_t iReadFlags;
    int32_t lStart;  /* seconds since 1970 UTC; 0: no window */
    int32_t lEnd;
} qEL2_RANGE_FILTER;

/* Nonzero keeps the record (a qEL2_VEVENT or qEL2_VTODO). */
typedef int (*qEL2_RECORD_FILTER)(const void* record, const void* argument);

int qel2_pvt_ReadEvent(qEL2_CALPROPS* calendar, char* uid, int32_t recurrenceId,
                       uint32_t flags, qEL2_VEVENT** event);
/* `calendar` may be null: a link is then followed without the test for a
 * link back into the same calendar. */
int qel2_pvt_ReadEventCore(qEL2_CALPROPS* calendar, DBT* key, DBT* value, uint32_t flags,
                           qEL2_VEVENT** event);
int qel2_pvt_ReadLinkedEvent(qEL2_CALPROPS* calendar, qEL2_VEVENT* link, qEL2_VEVENT** event,
                             uint32_t flags);
int qel2_pvt_ScanEvents(qEL2_CALPROPS* calendar, array_t** list, uint32_t flags,
                        const void* argument, qEL2_RECORD_FILTER filter);
int qel2_ReadEventListByRangeCompare(const void* event, const void* range);
int qel2_pvt_ReadEventListByRange(qEL2_CALPROPS* calendar, int32_t start, int32_t end,
                                  uint32_t flags, array_t** list);

int qel2_pvt_ReadToDo(qEL2_CALPROPS* calendar, char* uid, int32_t recurrenceId, uint32_t flags,
                      qEL2_VTODO** todo);
int qel2_pvt_ReadToDoCore(qEL2_CALPROPS* calendar, DBT* key, DBT* value, uint32_t flags,
                          qEL2_VTODO** todo);
int qel2_pvt_ReadLinkedToDo(qEL2_CALPROPS* calendar, qEL2_VTODO* link, qEL2_VTODO** todo,
                            uint32_t flags);
int qel2_pvt_ScanToDos(qEL2_CALPROPS* calendar, array_t** list, uint32_t flags,
                       const void* argument, qEL2_RECORD_FILTER filter);
int qel2_ReadToDoListByRangeCompare(const void* todo, const void* range);
int qel2_pvt_ReadToDoListByRange(qEL2_CALPROPS* calendar, int32_t start, int32_t end,
                                 uint32_t flags, array_t** list);

#ifdef __cplusplus
}
#endif

#endif /* QEL2_QUERY_H */
