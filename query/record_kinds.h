// What the event and to-do queries need to know about their kind of
// record: database, constructor, decoder, destructor, the tombstone and link
// marks, and the names their trace and log lines carry. The reads and the
// walk are written once over these.
#pragma once

#include <cstdint>

#include <db.h>

#include <qel2/codec.h>
#include <qel2/records.h>
#include <qel2/results.h>
#include <qel2/store.h>

namespace qel2::query {

struct EventKind {
    using Record = qEL2_VEVENT;
    static DB* Database() { return gCalDB.pEventDB; }
    static constexpr const char* kFile = "events.db";
    static Record* New() { return qel2_NewEvent(); }
    static int Decode(Record* r, const unsigned char* value, uint32_t size) {
        return qel2_pvt_DeserializeEvent(r, value, size);
    }
    static int Free(Record** r) { return qel2_FreeEvent(r); }
    static bool Tombstoned(const Record* r) { return qel2_EventTombstone(r->flags); }
    // The decoder marks a link record in rtflags; a record reached through a
    // link carries the same bit.
    static bool IsLink(const Record* r) { return qel2_EventIsLink(r); }
    static void MarkLinked(Record* r) { r->rtflags |= qEL2_EVENT_RT_LINK; }

    static constexpr const char* kRead = "qel2_pvt_ReadEvent";
    static constexpr const char* kReadCore = "qel2_pvt_ReadEventCore";
    static constexpr const char* kReadLinked = "qel2_pvt_ReadLinkedEvent";
    static constexpr const char* kScan = "qel2_pvt_ScanEvents";
    // The event fetch and walk write trace lines; the to-do ones do not.
    static constexpr bool kTraceCoreAndScan = true;
    static constexpr const char* kCoreNewFailed = "qel2_pvt_ReadEventCore: %d %s\n";
    static constexpr const char* kScanCursorFailed =
        "qel2_pvt_ScanEvents: pEventDB->cursor() returned %d\n";
    static constexpr const char* kScanListFailed =
        "qel2_pvt_ScanEvents: array_new returned %d %s\n";
    // A record that cannot be created fails the event walk with this line.
    static constexpr const char* kScanNewFailed =
        "qel2_pvt_ScanEvents: qel2_NewEvent returned %d %s\n";
    static constexpr const char* kScanEnded = "qel2_pvt_ScanEvents: get: %d\n";
    // An event walk without a cursor counts as out of memory.
    static int CursorFailure(int /*code42*/) { return qEL2_ERR_NOMEM; }
};

struct ToDoKind {
    using Record = qEL2_VTODO;
    static DB* Database() { return gCalDB.pToDoDB; }
    static constexpr const char* kFile = "todos.db";
    static Record* New() { return qel2_NewToDo(); }
    static int Decode(Record* r, const unsigned char* value, uint32_t size) {
        return qel2_pvt_DeserializeToDo(r, value, size);
    }
    static int Free(Record** r) { return qel2_FreeToDo(r); }
    static bool Tombstoned(const Record* r) { return qel2_ToDoTombstone(r->flags); }
    // A to-do keeps its link mark in the stored flag word.
    static bool IsLink(const Record* r) { return qel2_ToDoIsLink(r->flags); }
    static void MarkLinked(Record* r) { r->flags |= qEL2_TODO_LINK; }

    static constexpr const char* kRead = "qel2_pvt_ReadToDo";
    static constexpr const char* kReadCore = "qel2_pvt_ReadToDoCore";
    static constexpr const char* kReadLinked = "qel2_pvt_ReadLinkedToDo";
    static constexpr const char* kScan = "qel2_pvt_ScanToDos";
    static constexpr bool kTraceCoreAndScan = false;
    static constexpr const char* kCoreNewFailed = "qel2_pvt_ReadToDoCore: qel2_NewToDo %d %s\n";
    static constexpr const char* kScanCursorFailed =
        "qel2_pvt_ScanToDos: pToDoDB->cursor returned %d\n";
    static constexpr const char* kScanListFailed = "qel2_pvt_ScanToDos: array_new %d %s\n";
    // Null: a to-do that cannot be created ends the walk as a failed
    // positioning would, with the code qEL2_ERR_NOMEM.
    static constexpr const char* kScanNewFailed = nullptr;
    static constexpr const char* kScanEnded = "qel2_pvt_ScanToDos: get: %d\n";
    // A to-do walk without a cursor hands back Berkeley DB's own result.
    static int CursorFailure(int code42) { return code42; }
};

}  // namespace qel2::query
