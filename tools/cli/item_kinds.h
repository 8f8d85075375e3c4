// Events and to-dos as the commands read them: one set of traits per kind
// naming its record, its owning handles, its database and the library
// calls that scan, filter, read again, decode and follow links. The time
// ordered listings, the export's resources and its report of passed-over
// records each walk both kinds with one template over these.
#pragma once

#include <cstdint>

#include <db.h>

#include <qel2/codec.h>
#include <qel2/facade.h>
#include <qel2/owned.h>
#include <qel2/query.h>
#include <qel2/query_internal.h>

namespace qel2::cli {

struct EventItems {
    using Record = qEL2_VEVENT;
    using Owned = qel2::EventPtr;
    using OwnedList = qel2::EventListPtr;
    static constexpr const char* kWhat = "events";
    static constexpr const char* kDatabase = "events.db";

    // The library's walk of one calendar and its time-window filter.
    static constexpr auto Scan = qel2_pvt_ScanEvents;
    static constexpr auto InWindow = qel2_ReadEventListByRangeCompare;
    // One record by its uid and recurrence id.
    static int Read(qel2BerkeleyDatabase& db, qEL2_CALPROPS* calendar, char* uid,
                    int32_t recurrenceId, uint32_t flags, Record** record) {
        return db.ReadEvent(calendar, uid, recurrenceId, flags, record);
    }
    // A stored value, decoded into a fresh record.
    static Record* New() { return qel2_NewEvent(); }
    static int Decode(Record* record, const DBT& value) {
        return qel2_pvt_DeserializeEvent(record, static_cast<const unsigned char*>(value.data),
                                         value.size);
    }
    // The record a link leads to, deleted ones included.
    static int ReadLinked(qEL2_CALPROPS* calendar, Record* link, Record** target) {
        return qel2_pvt_ReadLinkedEvent(calendar, link, target, qEL2_READ_TOMBSTONES);
    }

    static bool IsLink(const Record& record) { return qel2_EventIsLink(&record); }
    static bool Deleted(const Record& record) { return qel2_EventTombstone(record.flags); }
    static bool StartIsDate(const Record& record) { return qel2_EventStartIsDate(record.flags); }
};

struct ToDoItems {
    using Record = qEL2_VTODO;
    using Owned = qel2::ToDoPtr;
    using OwnedList = qel2::ToDoListPtr;
    static constexpr const char* kWhat = "to-dos";
    static constexpr const char* kDatabase = "todos.db";

    static constexpr auto Scan = qel2_pvt_ScanToDos;
    static constexpr auto InWindow = qel2_ReadToDoListByRangeCompare;
    static int Read(qel2BerkeleyDatabase& db, qEL2_CALPROPS* calendar, char* uid,
                    int32_t recurrenceId, uint32_t flags, Record** record) {
        return db.ReadToDo(calendar, uid, recurrenceId, flags, record);
    }
    static Record* New() { return qel2_NewToDo(); }
    static int Decode(Record* record, const DBT& value) {
        return qel2_pvt_DeserializeToDo(record, static_cast<const unsigned char*>(value.data),
                                        value.size);
    }
    static int ReadLinked(qEL2_CALPROPS* calendar, Record* link, Record** target) {
        return qel2_pvt_ReadLinkedToDo(calendar, link, target, qEL2_READ_TOMBSTONES);
    }

    static bool IsLink(const Record& record) { return qel2_ToDoIsLink(record.flags); }
    static bool Deleted(const Record& record) { return qel2_ToDoTombstone(record.flags); }
    static bool StartIsDate(const Record& record) { return qel2_ToDoStartIsDate(record.flags); }
};

}  // namespace qel2::cli
