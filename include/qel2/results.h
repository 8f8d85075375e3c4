/*
 * Every result a call of the library returns, and their words.
 *
 * 0 is success. The library's own codes come first; then the system error
 * numbers it passes on or returns itself (12 and 22 have names here); then
 * Berkeley DB's codes, which cross this interface with Berkeley DB 4.2's
 * numbers whatever Berkeley DB the library links.
 */
#ifndef QEL2_RESULTS_H
#define QEL2_RESULTS_H

#include <qel2/export.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- The library's own ------------------------------------------------- */

/* Success. */
#define qEL2_OK 0
/* An argument or setting missing or out of range; a linked calendar unreadable. */
#define qEL2_ERR_MISSING 1
/* The store cannot be opened or checked; a linked record unreadable. */
#define qEL2_ERR_STORE 2
/* A link leads back into its own calendar. */
#define qEL2_ERR_SELF_LINK 3
/* ENOMEM: memory ran out; also a cursor that cannot be opened. */
#define qEL2_ERR_NOMEM 12
/* EINVAL: a stored value that does not decode; a flag or code 4.2 does not have. */
#define qEL2_ERR_INVALID 22
/* A decoder's embedded alarm, or a diagnostic edit's list, could not be built. */
#define qEL2_ERR_FAILED (-1)
/* The event or to-do is not stored, or is tombstoned. */
#define qEL2_ERR_NOT_FOUND 10000

/* ---- Berkeley DB's, as 4.2 numbers them -------------------------------- */

#define qEL2_DB42_DONOTINDEX (-30999)       /* a secondary index callback left the record out */
#define qEL2_DB42_KEYEMPTY (-30997)         /* the key/data pair was deleted or never created */
#define qEL2_DB42_KEYEXIST (-30996)         /* the key/data pair already exists */
#define qEL2_DB42_LOCK_DEADLOCK (-30995)    /* the locker was chosen to resolve a deadlock */
#define qEL2_DB42_LOCK_NOTGRANTED (-30994)  /* a lock was not granted */
#define qEL2_DB42_NOSERVER (-30993)         /* no server to dispatch the call to */
#define qEL2_DB42_NOTFOUND (-30990)         /* no matching key/data pair */
#define qEL2_DB42_OLD_VERSION (-30989)      /* the database needs a version upgrade */
#define qEL2_DB42_PAGE_NOTFOUND (-30988)    /* a requested page is not in the file */
#define qEL2_DB42_REP_DUPMASTER (-30987)    /* replication: a second master appeared */
#define qEL2_DB42_REP_HANDLE_DEAD (-30986)  /* replication: the handle is no longer valid */
#define qEL2_DB42_REP_HOLDELECTION (-30985) /* replication: an election is needed */
#define qEL2_DB42_REP_ISPERM (-30984)       /* replication: a permanent record was written */
#define qEL2_DB42_REP_NEWMASTER (-30983)    /* replication: a new master was elected */
#define qEL2_DB42_REP_NEWSITE (-30982)      /* replication: a new site joined */
#define qEL2_DB42_REP_NOTPERM (-30981)      /* replication: a permanent record was not written */
#define qEL2_DB42_REP_UNAVAIL (-30979)      /* replication: too few sites to complete the call */
#define qEL2_DB42_RUNRECOVERY (-30978)      /* a fatal error: the store needs a recovery open */
#define qEL2_DB42_SECONDARY_BAD (-30977)    /* a secondary index disagrees with its primary */
#define qEL2_DB42_VERIFY_BAD (-30976)       /* the structural check of a database failed */

/* Words for any result of the library: its own codes, system error numbers
 * (as strerror words them) and Berkeley DB's codes by their 4.2 numbers.
 * Never null; the text is static and never changes, so any thread may
 * call this at any time. */
QEL2_API const char* qel2_ResultText(int result);

#ifdef __cplusplus
}
#endif

#endif /* QEL2_RESULTS_H */
