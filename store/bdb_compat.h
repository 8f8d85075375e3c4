/*
 * Translation between the host's Berkeley DB 4.2 numbers and the linked
 * Berkeley DB 5.3.
 *
 * The host passes open flags with 4.2's values and expects 4.2's result
 * codes back (DB_NOTFOUND is -30990 for it, -30988 in 5.3); its key and
 * value descriptors have 4.2's shorter layout. This is the only file set
 * that translates 4.2's numbers (the public headers <qel2/dbt42.h>,
 * <qel2/store.h> and <qel2/results.h> name them); every other file uses the
 * linked library's named constants and translates at the boundary: flags on
 * the way in, results on the way out and in log lines.
 */
#ifndef QEL2_STORE_BDB_COMPAT_H
#define QEL2_STORE_BDB_COMPAT_H

#include <stdint.h>

#include <db.h>

#include <qel2/dbt42.h>
#include <qel2/store.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A linked-library result as the host knows it: 0 and system error numbers
 * unchanged, Berkeley DB's negative codes as 4.2 numbers them. A code 4.2
 * does not have becomes EINVAL, with an ERROR line naming it. */
int qel2_pvt_ResultTo42(int result);

/* The name and words of a Berkeley DB 4.2 result code; null for a number
 * 4.2 does not give a code. */
const char* qel2_pvt_ResultText42(int code42);

/* 4.2 flags of DB->open, or of DB_ENV->open, into the linked library's
 * flags for the same call. The two calls number their own flags in
 * overlapping ranges, hence one function each. A bit that 4.2's call did
 * not accept is refused: EINVAL with an ERROR line, `*flags` untouched.
 * 0 on success. */
int qel2_pvt_DbOpenFlagsFrom42(uint32_t flags42, uint32_t* flags);
int qel2_pvt_EnvOpenFlagsFrom42(uint32_t flags42, uint32_t* flags);

/* A host's 4.2 descriptor as the linked library's: the six fields 4.2 has,
 * its memory flags translated (other bits dropped), every field the linked
 * library adds zero. */
void qel2_pvt_DbtFrom42(const qEL2_DBT* dbt42, DBT* dbt);
/* Writes the six fields back into the host's descriptor, flags in 4.2's
 * numbers, and nothing past them. */
void qel2_pvt_DbtTo42(const DBT* dbt, qEL2_DBT* dbt42);

#ifdef __cplusplus
}
#endif

#endif /* QEL2_STORE_BDB_COMPAT_H */
