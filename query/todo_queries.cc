// To-dos: one by key, following links, and those of one calendar selected
// by their completion time.

#include <qel2/query_internal.h>

#include "query/record_kinds.h"
#include "query/record_reads.h"
#include "query/record_walk.h"

extern "C" {

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
