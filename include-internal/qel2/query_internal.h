/*
 * The steps of the event and to-do reads below <qel2/query.h>: following a
 * link, walking one calendar through a filter, and the time-window filters.
 */
#ifndef QEL2_QUERY_INTERNAL_H
#define QEL2_QUERY_INTERNAL_H

#include <stdint.h>

#include <qel2/query.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The request a time-window read hands to its filter. */
typedef struct qEL2_RANGE_FILTER {
    uint32_t iReadFlags;
    int32_t lStart; /* seconds since 1970 UTC; 0: no window */
    int32_t lEnd;
} qEL2_RANGE_FILTER;

/* Nonzero keeps the record (a qEL2_VEVENT or qEL2_VTODO). */
typedef int (*qEL2_RECORD_FILTER)(const void* record, const void* argument);

QEL2_API int qel2_pvt_ReadLinkedEvent(qEL2_CALPROPS* calendar, qEL2_VEVENT* link,
                                      qEL2_VEVENT** event, uint32_t flags);
QEL2_API int qel2_pvt_ScanEvents(qEL2_CALPROPS* calendar, array_t** list, uint32_t flags,
                                 const void* argument, qEL2_RECORD_FILTER filter);
QEL2_API int qel2_ReadEventListByRangeCompare(const void* event, const void* range);

QEL2_API int qel2_pvt_ReadLinkedToDo(qEL2_CALPROPS* calendar, qEL2_VTODO* link, qEL2_VTODO** todo,
                                     uint32_t flags);
QEL2_API int qel2_pvt_ScanToDos(qEL2_CALPROPS* calendar, array_t** list, uint32_t flags,
                                const void* argument, qEL2_RECORD_FILTER filter);
QEL2_API int qel2_ReadToDoListByRangeCompare(const void* todo, const void* range);

#ifdef __cplusplus
}
#endif

#endif /* QEL2_QUERY_INTERNAL_H */
