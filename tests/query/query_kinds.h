// The event and to-do queries side by side, so the tests of what the two
// share are written once: the library's own kinds of record (database,
// file and function names, link marks) and what the tests add. Reads and
// windows go through the facade, which forwards them unchanged.
#pragma once

#include <qel2/qel2.h>
#include <qel2/query_internal.h>
#include <qel2/store_internal.h>

#include <nlohmann/json.hpp>

#include "owned_records.h"
#include "query/record_kinds.h"
#include "record_encoder.h"
#include "record_json.h"

namespace qel2::test {

struct Events : qel2::query::EventKind {
    using Ptr = qel2::EventPtr;
    static constexpr const char* kSection = "events";  // of the genuine store's manifest
    static constexpr auto ReadLinked = qel2_pvt_ReadLinkedEvent;
    static constexpr auto ReadCore =
        qel2_pvt_ReadEventCore;  // with a calendar, unlike the facade's
    static constexpr auto FreeList = qel2_FreeEventList;
    static Ptr New() { return qel2::mkstore::NewEvent(); }
    static int Read(qEL2_CALPROPS* c, const char* uid, uint32_t rec, uint32_t flags, Record** out) {
        return qel2BerkeleyDatabase().ReadEvent(c, const_cast<char*>(uid),
                                                static_cast<int32_t>(rec), flags, out);
    }
    static int Window(qEL2_CALPROPS* c, int32_t from, int32_t to, uint32_t flags, array_t** list) {
        return qel2BerkeleyDatabase().ReadEventListByRange(c, from, to, flags, list);
    }
    static void MarkLinked(Record* r, bool linked) { r->rtflags = linked ? qEL2_EVENT_RT_LINK : 0; }
    static Ptr FromJson(const nlohmann::json& fields) {
        return qel2::mkstore::EventFromJson(fields, nullptr, "event");
    }
    static qel2::mkstore::Bytes Encode(const Record& r) { return qel2::mkstore::EncodeEvent(r); }
};

struct ToDos : qel2::query::ToDoKind {
    using Ptr = qel2::ToDoPtr;
    static constexpr const char* kSection = "todos";
    static constexpr auto ReadLinked = qel2_pvt_ReadLinkedToDo;
    static constexpr auto ReadCore = qel2_pvt_ReadToDoCore;
    static constexpr auto FreeList = qel2_FreeToDoList;
    static Ptr New() { return qel2::mkstore::NewToDo(); }
    static int Read(qEL2_CALPROPS* c, const char* uid, uint32_t rec, uint32_t flags, Record** out) {
        return qel2BerkeleyDatabase().ReadToDo(c, const_cast<char*>(uid), static_cast<int32_t>(rec),
                                               flags, out);
    }
    static int Window(qEL2_CALPROPS* c, int32_t from, int32_t to, uint32_t flags, array_t** list) {
        return qel2BerkeleyDatabase().ReadToDoListByRange(c, from, to, flags, list);
    }
    static void MarkLinked(Record* r, bool linked) {
        r->flags = linked ? r->flags | qEL2_TODO_LINK : r->flags;
    }
    static Ptr FromJson(const nlohmann::json& fields) {
        return qel2::mkstore::ToDoFromJson(fields, nullptr, "to-do");
    }
    static qel2::mkstore::Bytes Encode(const Record& r) { return qel2::mkstore::EncodeToDo(r); }
};

}  // namespace qel2::test
