/*
 * The stand-in host's own calls beyond the services the library uses:
 * filling the configuration cache, routing log lines, GUID text, and the
 * constructors and releases of the server's records. The command-line host
 * and the tests use them; a real server has its own ways, so the library
 * never calls them and a host never includes this header.
 */
#ifndef QEL2_STANDIN_HOST_H
#define QEL2_STANDIN_HOST_H

#include <qel2/host.h>
#include <qel2/host_records.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Configuration cache ---------------------------------------------- */
/* The cache starts empty; fill it from a settings file with
 * config_load_file or set values with config_set. */

/* Sets (or with a null value removes) one key; 0, or -1 when out of memory. */
int config_set(config_cache* cache, const char* key, const char* value);
/* Removes every key. */
void config_clear(config_cache* cache);
/* Adds the keys of a settings file (same syntax as calconf); a key already
 * set is overwritten. 0, or the errno of opening the file. */
int config_load_file(config_cache* cache, const char* path);

/* ---- Log sink ---------------------------------------------------------- */

/* Receives each message as formatted, before the line is built. */
typedef void (*hxlog_sink_fn)(void* context, int level, const char* text);

/* Sends messages to `sink` instead of writing lines; null restores the
 * line writer. */
void hxlog_set_sink(hxlog_sink_fn sink, void* context);
/* Lines go to this file (appended) instead of standard error; null returns
 * to standard error. 0, or the errno of opening the file. */
int hxlog_set_file(const char* path);

/* ---- GUIDs -------------------------------------------------------------- */

/* Writes the 36-character text form and a NUL into `text` (37 bytes). */
void cal_GUIDToString(const CALDB_GUID* guid, char* text);

/* ---- Server records ----------------------------------------------------- */

/* New zero-filled records, or null when memory is exhausted. */
CALDB_CALPROPS* caldb_NewCalProps(void);
CALDB_EVENT* caldb_NewEvent(void);
CALDB_TODO* caldb_NewToDo(void);

/* Each frees every string, array, sub-record and access-control entry the
 * record owns, then the record, and clears the pointer. A null pointer is
 * left alone. */
void caldb_FreeCalProps(CALDB_CALPROPS** calprops);
void caldb_FreeEvent(CALDB_EVENT** event);
void caldb_FreeToDo(CALDB_TODO** todo);
void caldb_FreeOrganizer(CALDB_ORGANIZER** organizer);
void caldb_FreeAttendee(CALDB_ATTENDEE** attendee);
void caldb_FreeAlarm(CALDB_ALARM** alarm);
/* Free every record of the list, then the list; clear the pointer. */
void caldb_FreeAttendeeList(array_t** attendees);
void caldb_FreeAlarmList(array_t** alarms);

void acl_caldb_ace_FREE(CALDB_ACE** ace);
/* Frees every entry of the list, then the list; clears the pointer. */
void acl_caldb_FreeACL(array_t** acl);

#ifdef __cplusplus
}
#endif

#endif /* QEL2_STANDIN_HOST_H */
