// Events and to-dos: one by key, following links, and those of one calendar
// in a time window (for to-dos, selected by their completion time). Both
// kinds run the same reads and walk (record_kinds.h); only the window test
// differs.

#include <qel2/query_internal.h>

#include "query/record_kinds.h"
#include "query/record_reads.h"
#include "query/record_walk.h"

extern "C" {

// Events.

int qel2_pvt_ReadEvent(qEL2_CALPROPS* calendar, char* uid, int32_t recurrenceId, uint32_t flags,
                       qEL2_VEVENT** event) {
    return qel2::query::ReadRecord<qel2::query::EventKind>(calendar, uid, recurrenceId, flags,
                                                           event, 0);
}

int qel2_pvt_ReadEventCore(qEL2_CALPROPS* calendar, qEL2_DBT* key, qEL2_DBT* value, uint32_t flags,
                           qEL2_VEVENT** event) {
    return qel2::query::ReadRecordCoreFrom42<qel2::query::EventKind>(calendar, key, value, flags,
                                                                     event);
}

int qel2_pvt_ReadLinkedEvent(qEL2_CALPROPS* calendar, qEL2_VEVENT* link, qEL2_VEVENT** event,
                             uint32_t flags) {
    return qel2::query::ReadLinkedRecord<qel2::query::EventKind>(calendar, link, event, flags, 1);
}

int qel2_pvt_ScanEvents(qEL2_CALPROPS* calendar, array_t** list, uint32_t flags,
                        const void* argument, qEL2_RECORD_FILTER filter) {
    return qel2::query::ScanRecords<qel2::query::EventKind>(calendar, list, flags, argument,
                                                            filter);
}

int qel2_ReadEventListByRangeCompare(const void* record, const void* range) {
    const auto* event = static_cast<const qEL2_VEVENT*>(record);
    const auto* window = static_cast<const qEL2_RANGE_FILTER*>(range);
    // A linked event is listed whatever its times and marks.
    if (qel2_EventIsLink(event)) return 1;
    // Times compare as signed 32-bit values; both ends are exclusive.
    const bool inWindow = window->lStart == 0 || window->lEnd == 0 ||
                          (static_cast<int32_t>(event->dtEnd) > window->lStart &&
                           static_cast<int32_t>(event->dtStart) < window->lEnd);
    if (inWindow && qel2_EventTombstone(event->flags) &&
        !(window->iReadFlags & qEL2_READ_TOMBSTONES))
        return 0;
    return inWindow;
}

int qel2_pvt_ReadEventListByRange(qEL2_CALPROPS* calendar, int32_t start, int32_t end,
                                  uint32_t flags, array_t** list) {
    qel2_pvt_TraceLog(1, "qel2_pvt_ReadEventListByRange");
    const qEL2_RANGE_FILTER range = {flags, start, end};
    return qel2_pvt_ScanEvents(calendar, list, flags, &range, qel2_ReadEventListByRangeCompare);
}

// To-dos.

int qel2_pvt_ReadToDo(qEL2_CALPROPS* calendar, char* uid, int32_t recurrenceId, uint32_t flags,
                      qEL2_VTODO** todo) {
    return qel2::query::ReadRecord<qel2::query::ToDoKind>(calendar, uid, recurrenceId, flags, todo,
                                                          0);
}

int qel2_pvt_ReadToDoCore(qEL2_CALPROPS* calendar, qEL2_DBT* key, qEL2_DBT* value, uint32_t flags,
                          qEL2_VTODO** todo) {
    return qel2::query::ReadRecordCoreFrom42<qel2::query::ToDoKind>(calendar, key, value, flags,
                                                                    todo);
}

int qel2_pvt_ReadLinkedToDo(qEL2_CALPROPS* calendar, qEL2_VTODO* link, qEL2_VTODO** todo,
                            uint32_t flags) {
    return qel2::query::ReadLinkedRecord<qel2::query::ToDoKind>(calendar, link, todo, flags, 1);
}

int qel2_pvt_ScanToDos(qEL2_CALPROPS* calendar, array_t** list, uint32_t flags,
                       const void* argument, qEL2_RECORD_FILTER filter) {
    return qel2::query::ScanRecords<qel2::query::ToDoKind>(calendar, list, flags, argument, filter);
}

int qel2_ReadToDoListByRangeCompare(const void* record, const void* range) {
    const auto* todo = static_cast<const qEL2_VTODO*>(record);
    const auto* window = static_cast<const qEL2_RANGE_FILTER*>(range);
    if (qel2_ToDoIsLink(todo->flags)) return 1;
    // A to-do that is not completed is in every window; a completed one
    // when it was completed from the start (inclusive) to the end
    // (exclusive), compared as signed 32-bit values.
    const auto completed = static_cast<int32_t>(todo->dtCompleted);
    const bool inWindow = window->lStart == 0 || window->lEnd == 0 || completed == 0 ||
                          (window->lStart <= completed && completed < window->lEnd);
    if (inWindow && qel2_ToDoTombstone(todo->flags) && !(window->iReadFlags & qEL2_READ_TOMBSTONES))
        return 0;
    return inWindow;
}

int qel2_pvt_ReadToDoListByRange(qEL2_CALPROPS* calendar, int32_t start, int32_t end,
                                 uint32_t flags, array_t** list) {
    qel2_pvt_TraceLog(1, "qel2_pvt_ReadToDoListByRange");
    const qEL2_RANGE_FILTER range = {flags, start, end};
    return qel2_pvt_ScanToDos(calendar, list, flags, &range, qel2_ReadToDoListByRangeCompare);
}

}  // extern "C"
