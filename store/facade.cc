// qel2BerkeleyDatabase: every method forwards its arguments to the store
// engine, a query or a release call and returns that result unchanged.

#include <qel2/facade.h>

qel2BerkeleyDatabase::~qel2BerkeleyDatabase() = default;

void* qel2BerkeleyDatabase::GetCalDB() { return &gCalDB; }

int qel2BerkeleyDatabase::OpenDB(uint32_t threads, uint32_t flags, char* homeDir) {
    return qel2_pvt_OpenDB(threads, flags, homeDir);
}

int qel2BerkeleyDatabase::CloseDB() { return qel2_pvt_CloseDB(); }

int qel2BerkeleyDatabase::GetDBVersion(char* buffer, uint32_t size) {
    return qel2_pvt_GetDBVersion(buffer, size);
}

int qel2BerkeleyDatabase::GetStats(qEL2_DB_STATISTICS* statistics, uint32_t request) {
    return qel2_pvt_GetStats(statistics, request);
}

int qel2BerkeleyDatabase::StopServerAlarmDispatch() { return qel2_pvt_StopServerAlarmDispatch(); }

void qel2BerkeleyDatabase::GenerateGUID(CALDB_GUID* guid) { cal_GenerateGUID(guid); }

// Queries.

int qel2BerkeleyDatabase::ReadCalProps(char* calendarId, qEL2_CALPROPS** calprops) {
    return qel2_pvt_ReadCalProps(calendarId, calprops);
}

int qel2BerkeleyDatabase::ScanCalProps(array_t** list, uint32_t limit, const void* argument,
                                       int (*filter)(const qEL2_CALPROPS*, const void*)) {
    return qel2_pvt_ScanCalProps(list, limit, argument, filter);
}

int qel2BerkeleyDatabase::SearchCalProps(const char* pattern, uint32_t fields, uint32_t mode,
                                         uint32_t limit, array_t** list) {
    return qel2_pvt_SearchCalProps(pattern, fields, mode, limit, list);
}

int qel2BerkeleyDatabase::ReadEvent(qEL2_CALPROPS* calendar, char* uid, int32_t recurrenceId,
                                    uint32_t flags, qEL2_VEVENT** event) {
    return qel2_pvt_ReadEvent(calendar, uid, recurrenceId, flags, event);
}

int qel2BerkeleyDatabase::ReadEventListByRange(qEL2_CALPROPS* calendar, int32_t start, int32_t end,
                                               uint32_t flags, array_t** list) {
    return qel2_pvt_ReadEventListByRange(calendar, start, end, flags, list);
}

int qel2BerkeleyDatabase::ReadEventCore(qEL2_DBT* key, qEL2_DBT* value, uint32_t flags,
                                        qEL2_VEVENT** event) {
    return qel2_pvt_ReadEventCore(nullptr, key, value, flags, event);
}

int qel2BerkeleyDatabase::ReadToDo(qEL2_CALPROPS* calendar, char* uid, int32_t recurrenceId,
                                   uint32_t flags, qEL2_VTODO** todo) {
    return qel2_pvt_ReadToDo(calendar, uid, recurrenceId, flags, todo);
}

int qel2BerkeleyDatabase::ReadToDoListByRange(qEL2_CALPROPS* calendar, int32_t start, int32_t end,
                                              uint32_t flags, array_t** list) {
    return qel2_pvt_ReadToDoListByRange(calendar, start, end, flags, list);
}

int qel2BerkeleyDatabase::ReadToDoCore(qEL2_DBT* key, qEL2_DBT* value, uint32_t flags,
                                       qEL2_VTODO** todo) {
    return qel2_pvt_ReadToDoCore(nullptr, key, value, flags, todo);
}

// Releases.

int qel2BerkeleyDatabase::FreeCalProps(qEL2_CALPROPS** calprops) {
    return qel2_pvt_FreeCalProps(calprops);
}

int qel2BerkeleyDatabase::FreeEvent(qEL2_VEVENT** event) { return qel2_pvt_FreeEvent(event); }

int qel2BerkeleyDatabase::FreeToDo(qEL2_VTODO** todo) { return qel2_pvt_FreeToDo(todo); }

int qel2BerkeleyDatabase::FreeOrganizer(qEL2_ORGANIZER** organizer) {
    return qel2_pvt_FreeOrganizer(organizer);
}

int qel2BerkeleyDatabase::FreeAttendee(qEL2_ATTENDEE** attendee) {
    return qel2_pvt_FreeAttendee(attendee);
}

int qel2BerkeleyDatabase::FreeCalPropsList(array_t** list) {
    return qel2_pvt_FreeCalPropsList(list);
}

int qel2BerkeleyDatabase::FreeEventList(array_t** list) { return qel2_pvt_FreeEventList(list); }

int qel2BerkeleyDatabase::FreeToDoList(array_t** list) { return qel2_pvt_FreeToDoList(list); }
