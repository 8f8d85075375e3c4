/*
 * Everything a host calls of the calendar store library, and the services
 * the host provides to it (<qel2/host.h>, <qel2/host_records.h>). The
 * headers stand alone: they do not include Berkeley DB's <db.h>.
 *
 * Conventions, stated once here so that each declaration can be short:
 *
 * Results. Every call that can fail returns an int: 0 for success; the
 *   library's own codes (1 missing, 2 store, 3 self-link, 12 out of memory,
 *   10000 not found); EINVAL (22) for a stored value that does not decode;
 *   anything else is a system error number or a Berkeley DB result.
 *   <qel2/results.h> names them all, and qel2_ResultText gives their words.
 *   Where a call writes an ERROR line, its comment says so.
 * Berkeley DB 4.2's numbers. The host was built against Berkeley DB 4.2:
 *   open flags, result codes and the key and value descriptor (qEL2_DBT,
 *   <qel2/dbt42.h>) cross this interface with 4.2's numbers and layout
 *   (DB_NOTFOUND is -30990), whatever Berkeley DB the library links.
 * Ownership. A record or list a call hands back belongs to the caller, who
 *   releases it with the matching destructor of <qel2/records.h> (in C++,
 *   the holders of <qel2/owned.h>); the destructors take the address of the
 *   pointer and clear it. Arguments are borrowed for the call only.
 * Threads. One store per process (gCalDB). Reads may run from any number
 *   of threads while the store is open; open and close must not overlap a
 *   read. The checkpoint and deadlock threads run only when the open asks
 *   for them (qEL2_THREAD_CHECKPOINT, qEL2_THREAD_DEADLOCK).
 */
#ifndef QEL2_QEL2_H
#define QEL2_QEL2_H

#include <qel2/export.h>
#include <qel2/dbt42.h>
#include <qel2/host.h>
#include <qel2/results.h>
#include <qel2/log.h>
#include <qel2/records.h>
#include <qel2/keys.h>
#include <qel2/store.h>
#include <qel2/query.h>
#include <qel2/host_records.h>
#include <qel2/mapping.h>
#include <qel2/diag.h>

#ifdef __cplusplus
#include <qel2/facade.h>
#include <qel2/owned.h>
#endif

#endif /* QEL2_QEL2_H */
