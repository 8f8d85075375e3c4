/*
 * The key order of each database: the B-tree comparisons the store
 * installs, which a program writing a store must install too.
 */
#ifndef QEL2_KEY_ORDER_H
#define QEL2_KEY_ORDER_H

#include <db.h>

#include <qel2/keys.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Each reads its fixed key length (16, 36, 24 bytes) whatever the DBT's
 * size says; the handle is not used. -1, 0 or 1. */
int CalPropsKeyCompare(DB* db, const DBT* a, const DBT* b);
int EventKeyCompare(DB* db, const DBT* a, const DBT* b);
int AlarmKeyCompare(DB* db, const DBT* a, const DBT* b);

#ifdef __cplusplus
}
#endif

#endif /* QEL2_KEY_ORDER_H */
