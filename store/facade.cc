// The store-engine and release methods of qel2BerkeleyDatabase; the query
// methods live with the queries.

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
