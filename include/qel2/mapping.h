/*
 * Conversion of the store's decoded records into the server's record model
 * (<qel2/host_records.h>).
 *
 * Each function fills a host record that the caller has created and passes
 * by the address of its own pointer; the pointer is never replaced, the
 * source record is only read. Every string, list and sub-record stored in
 * the target is a fresh copy that the target owns; what a field held before
 * is overwritten, never released (the host keeps track of its own). The
 * result is qEL2_OK (0) on success and qEL2_ERR_MISSING (1) when memory
 * runs out or an argument is null; a failed mapping returns at once and
 * keeps what it wrote so far in the target.
 */
#ifndef QEL2_MAPPING_H
#define QEL2_MAPPING_H

#include <stdint.h>

#include <prio.h>

#include <qel2/export.h>
#include <qel2/host_records.h>
#include <qel2/records.h>

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Calendar properties. The access list gets, in order: the entries of the
 * old read and write levels, at most one entry for "@" with the rights "s"
 * and "f" as `sPolicy` and `fPolicy` decide (0 grant, 1 grant only on the
 * primary owner's own calendar, 2 withhold; any other value makes no "@"
 * entry), and "r" and "wd" entries for every other owner. "Primary Owner:
 * <owner>" goes to `out` when `printOwner` is nonzero or `traceLevel` is 1
 * or more.
 */
QEL2_API int32_t CalPropsMapping(const qEL2_CALPROPS* source, CALDB_CALPROPS** target,
                                 int32_t sPolicy, int32_t fPolicy, int32_t printOwner,
                                 PRFileDesc* out, int32_t traceLevel);

QEL2_API int32_t AttendeeMapping(const qEL2_ATTENDEE* source, CALDB_ATTENDEE** target);

/* `selector` nonzero makes a server alarm, 0 a client alarm. */
QEL2_API int32_t AlarmMapping(const qEL2_VALARM* source, CALDB_ALARM** target, int32_t selector);

/*
 * Events and to-dos. The caller presets the target's alarm_selector and
 * default_organizer. `organizerId` goes into the organizer's id_a and id_b;
 * `spare` is unused. At `traceLevel` 2 exactly, the numbers of attendees and
 * alarms go to `out` as one line. A link record (one read through another
 * calendar) keeps the target's uid, organizer_email, attendees and alarms.
 */
QEL2_API int32_t EventMapping(const qEL2_VEVENT* source, CALDB_EVENT** target,
                              const char* organizerId, int32_t spare, PRFileDesc* out,
                              int32_t traceLevel);
QEL2_API int32_t ToDoMapping(const qEL2_VTODO* source, CALDB_TODO** target, const char* organizerId,
                             int32_t spare, PRFileDesc* out, int32_t traceLevel);

#ifdef __cplusplus
}
#endif

#endif /* QEL2_MAPPING_H */
