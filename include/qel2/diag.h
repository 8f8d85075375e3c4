/*
 * Diagnostics: readable dumps of decoded records, and small helpers that
 * change a decoded calendar in memory (nothing is written to the store).
 *
 * The dumps write to an NSPR file descriptor with PR_fprintf and change
 * nothing in the records they read.
 */
#ifndef QEL2_DIAG_H
#define QEL2_DIAG_H

#include <prio.h>

#include <qel2/export.h>
#include <qel2/records.h>
#include <qel2/results.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Names of the calendar access levels 0 to 4 ("private", "public",
 * "domain", "control", "primary"), then the empty string at index 5. */
QEL2_API extern const char* gtasCalAccess[6];

/* ---- Record dumps --------------------------------------------------------- */

/* Writes the calendar's fields, one per line; nothing for a null calendar
 * or output. */
QEL2_API void qel2dbut_PrintCalProps(const qEL2_CALPROPS* calprops, PRFileDesc* out);
/* Write the record's fields, one per line, with its organizer, attendees
 * and alarms; 0, or qEL2_ERR_MISSING (nothing written) for a null record
 * or output. */
QEL2_API int qel2dbut_PrintEvent(const qEL2_VEVENT* event, PRFileDesc* out);
QEL2_API int qel2dbut_PrintToDo(const qEL2_VTODO* todo, PRFileDesc* out);
/* The attendee as one line of text ("address RSVP=TRUE;CN=..."), released
 * by the caller with free(); null for a null attendee or when memory runs
 * out. */
QEL2_API char* qel2dbut_FmtAttendee(const qEL2_ATTENDEE* attendee);

/* ---- Editing a decoded calendar ------------------------------------------- */

/*
 * Set or extend pOtherOwners (pCategoryList) from a vector of names that
 * ends with a null pointer. With `replace` nonzero the list becomes exactly
 * the names, duplicates included (an empty list for a null vector);
 * otherwise each name not yet present (compared exactly, case significant)
 * is appended once. 0, or qEL2_ERR_FAILED (-1) for a null calendar or when a
 * list cannot be created or grown.
 */
QEL2_API int qel2dbut_SetOwners(qEL2_CALPROPS* calprops, char** owners, int replace);
QEL2_API int qel2dbut_SetCategory(qEL2_CALPROPS* calprops, char** categories, int replace);

/* Set the read (bits 0-3) or write (bits 4-7) access level, leaving every
 * other bit as it is. 0, or qEL2_ERR_MISSING (1) for a null calendar or a
 * level above 4 (nothing changes). */
QEL2_API int qel2dbut_SetReadAccess(qEL2_CALPROPS* calprops, unsigned level);
QEL2_API int qel2dbut_SetWriteAccess(qEL2_CALPROPS* calprops, unsigned level);

#ifdef __cplusplus
}
#endif

#endif /* QEL2_DIAG_H */
