// The event and to-do queries side by side, so the tests of what the two
// share are written once. Reads and windows go through the facade, which
// forwards them unchanged.
#pragma once

#include <qel2/qel2.h>
#include <qel2/query_internal.h>
#include <qel2/store_internal.h>

#include <nlohmann/json.hpp>

#include "owned_records.h"
#include "record_encoder.h"
#include "record_json.h"

namespace qel2test {

struct Events {
    using Record = qEL2_VEVENT;
    using Ptr = qel2::EventPtr;
    static constexpr const char* kFile = "events.db";
    static constexpr const char* kCore = "qel2_pvt_ReadEventCore";
    static constexpr const char* kScan = "qel2_pvt_ScanEvents";
    static constexpr const char* kLinked = "qel2_pvt_ReadLinkedEvent";
    static constexpr const char* kSection = "events";  // of the genuine store's manifest
    static constexpr auto ReadLinked = qel2_pvt_ReadLinkedEvent;
    static constexpr auto ReadCore = qel2_pvt_ReadEventCore;  // with a calendar, unlike the facade's
    static DB* Database() { return gCalDB.pEventDB; }
    static constexpr auto FreeList = qel2_FreeEventList;
    static Ptr New() { return qel2mk::NewEvent(); }
    static int Read(qEL2_CALPROPS* c, const char* uid, uint32_t rec, uint32_t flags, Record** out) {
        return qel2BerkeleyDatabase().ReadEvent(c, const_cast<char*>(uid), static_cast<int32_t>(rec), flags, out);
    }
    static int Window(qEL2_CALPROPS* c, int32_t from, int32_t to, uint32_t flags, array_t** list) {
        return qel2BerkeleyDatabase().ReadEventListByRange(c, from, to, flags, list);
    }
    static bool Linked(const Record* r) { return qel2_EventIsLink(r); }
    static void MarkLinked(Record* r, bool linked) { r->rtflags = linked ? qEL2_EVENT_RT_LINK : 0; }
    static Ptr FromJson(const nlohmann::json& fields) { return qel2mk::EventFromJson(fields, nullptr, "event"); }
    static qel2mk::Bytes Encode(const Record& r) { return qel2mk::EncodeEvent(r); }
};

struct ToDos {
    using Record = qEL2_VTODO;
    using Ptr = qel2::ToDoPtr;
    static constexpr const char* kFile = "todos.db";
    static constexpr const char* kCore = "qel2_pvt_ReadToDoCore";
    static constexpr const char* kScan = "qel2_pvt_ScanToDos";
    static constexpr const char* kLinked = "qel2_pvt_ReadLinkedToDo";
    static constexpr const char* kSection = "todos";
    static constexpr auto ReadLinked = qel2_pvt_ReadLinkedToDo;
    static constexpr auto ReadCore = qel2_pvt_ReadToDoCore;  // with a calendar, unlike the facade's
    static DB* Database() { return gCalDB.pToDoDB; }
    static constexpr auto FreeList = qel2_FreeToDoList;
    static Ptr New() { return qel2mk::NewToDo(); }
    static int Read(qEL2_CALPROPS* c, const char* uid, uint32_t rec, uint32_t flags, Record** out) {
        return qel2BerkeleyDatabase().ReadToDo(c, const_cast<char*>(uid), static_cast<int32_t>(rec), flags, out);
    }
    static int Window(qEL2_CALPROPS* c, int32_t from, int32_t to, uint32_t flags, array_t** list) {
        return qel2BerkeleyDatabase().ReadToDoListByRange(c, from, to, flags, list);
    }
    static bool Linked(const Record* r) { return qel2_ToDoIsLink(r->flags); }
    static void MarkLinked(Record* r, bool linked) { r->flags = linked ? r->flags | qEL2_TODO_LINK : r->flags; }
    static Ptr FromJson(const nlohmann::json& fields) { return qel2mk::ToDoFromJson(fields, nullptr, "to-do"); }
    static qel2mk::Bytes Encode(const Record& r) { return qel2mk::EncodeToDo(r); }
};

}  // namespace qel2test
