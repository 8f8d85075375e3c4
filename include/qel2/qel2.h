/*
 * Everything a host may use of the calendar store library.
 */
#ifndef QEL2_QEL2_H
#define QEL2_QEL2_H

#include <qel2/host.h>
#include <qel2/log.h>
#include <qel2/records.h>
#include <qel2/keys.h>
#include <qel2/store.h>
#include <qel2/query.h>
#include <qel2/codec.h>
#include <qel2/mapping.h>
#include <qel2/diag.h>

#ifdef __cplusplus
#include <qel2/facade.h>
#include <qel2/owned.h>
#endif

#endif /* QEL2_QEL2_H */
