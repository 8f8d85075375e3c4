/*
 * qel2BerkeleyDatabase: the one object through which a host drives the
 * library. It holds no data; every method forwards to the store engine or a
 * query with the same arguments and returns that result unchanged. All
 * objects share the one store in gCalDB. Destroying an object does not
 * close the store: the host calls CloseDB first. The core reads take
 * Berkeley DB 4.2's descriptors (<qel2/dbt42.h>).
 */
#ifndef QEL2_FACADE_H
#define QEL2_FACADE_H

#ifndef __cplusplus
#error "<qel2/facade.h> is C++ only"
#endif

#include <stdint.h>

#include <qel2/dbt42.h>
#include <qel2/export.h>
#include <qel2/host.h>
#include <qel2/query.h>
#include <qel2/records.h>
#include <qel2/store.h>

class QEL2_API qel2BerkeleyDatabase {
public:
    qel2BerkeleyDatabase() = default;
    virtual ~qel2BerkeleyDatabase();

    void* GetCalDB();
    int OpenDB(uint32_t threads, uint32_t flags, char* homeDir);
    int CloseDB();
    int GetDBVersion(char* buffer, uint32_t size);
    int GetStats(qEL2_DB_STATISTICS* statistics, uint32_t request);
    int StopServerAlarmDispatch();
    void GenerateGUID(CALDB_GUID* guid);

    // Queries.
    int ReadCalProps(char* calendarId, qEL2_CALPROPS** calprops);
    int ScanCalProps(array_t** list, uint32_t limit, const void* argument,
                     int (*filter)(const qEL2_CALPROPS*, const void*));
    int SearchCalProps(const char* pattern, uint32_t fields, uint32_t mode, uint32_t limit,
                       array_t** list);
    int ReadEvent(qEL2_CALPROPS* calendar, char* uid, int32_t recurrenceId, uint32_t flags,
                  qEL2_VEVENT** event);
    int ReadEventListByRange(qEL2_CALPROPS* calendar, int32_t start, int32_t end, uint32_t flags,
                             array_t** list);
    int ReadEventCore(qEL2_DBT* key, qEL2_DBT* value, uint32_t flags, qEL2_VEVENT** event);
    int ReadToDo(qEL2_CALPROPS* calendar, char* uid, int32_t recurrenceId, uint32_t flags,
                 qEL2_VTODO** todo);
    int ReadToDoListByRange(qEL2_CALPROPS* calendar, int32_t start, int32_t end, uint32_t flags,
                            array_t** list);
    int ReadToDoCore(qEL2_DBT* key, qEL2_DBT* value, uint32_t flags, qEL2_VTODO** todo);

    // Private releases: FreeEvent and FreeToDo release only the record's
    // private block; the records themselves go with the qel2_Free* calls.
    int FreeCalProps(qEL2_CALPROPS** calprops);
    int FreeEvent(qEL2_VEVENT** event);
    int FreeToDo(qEL2_VTODO** todo);
    int FreeOrganizer(qEL2_ORGANIZER** organizer);
    int FreeAttendee(qEL2_ATTENDEE** attendee);
    int FreeCalPropsList(array_t** list);
    int FreeEventList(array_t** list);
    int FreeToDoList(array_t** list);
};

#endif /* QEL2_FACADE_H */
