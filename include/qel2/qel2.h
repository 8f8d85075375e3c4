/*
 * Everything a host calls of the calendar store library, and the services
 * the host provides to it (<qel2/host.h>, <qel2/host_records.h>). The
 * headers stand alone: they do not include Berkeley DB's <db.h>, and they
 * speak Berkeley DB 4.2's numbers and descriptor (<qel2/dbt42.h>).
 */
#ifndef QEL2_QEL2_H
#define QEL2_QEL2_H

#include <qel2/export.h>
#include <qel2/dbt42.h>
#include <qel2/host.h>
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
