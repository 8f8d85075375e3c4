// The query methods of qel2BerkeleyDatabase: each forwards its arguments.

#include <qel2/facade.h>

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
