// The mapping tests' source records, and the event and to-do mappings alike.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include <nlohmann/json.hpp>

#include <qel2/mapping.h>
#include <qel2/standin_host.h>

#include "record_json.h"
#include "support/string_list.h"
#include "support/temp_dir.h"

namespace qel2::test {

// A full event or to-do, not a link (tests/data/mapping/full-item.json, which
// tells what it holds), with the fields only reads and the host set.
template <typename Item, auto FromJson>
Item* FullItem(const char* kind) {
    static const auto data = nlohmann::json::parse(test_data_text("mapping/full-item.json"));
    nlohmann::json fields = data.at("fields");
    fields.update(data.at(kind));
    Item* item = FromJson(fields, nullptr, kind).release();
    item->RecurrenceID = 1136450800;
    item->pLinkedCalID = strdup("linked_calid");
    item->lHostData = 77;
    return item;
}
inline qEL2_VEVENT* FullEvent() {
    return FullItem<qEL2_VEVENT, qel2::mkstore::EventFromJson>("event");
}
inline qEL2_VTODO* FullToDo() {
    qEL2_VTODO* todo = FullItem<qEL2_VTODO, qel2::mkstore::ToDoFromJson>("todo");
    todo->pExtraList2 = StringList({"extra_list2"});  // not read for a to-do
    todo->pExtraList3 = StringList({"extra_list3"});
    return todo;
}

inline void MakeLink(qEL2_VEVENT* event) { event->rtflags |= qEL2_EVENT_RT_LINK; }
inline void MakeLink(qEL2_VTODO* todo) { todo->flags |= qEL2_TODO_LINK; }

// One of the two mappings with its records' constructors and destructors.
template <typename S, typename T, S* (*FullSource)(), T* (*NewT)(),
          int32_t (*MapFn)(const S*, T**, const char*, int32_t, PRFileDesc*, int32_t),
          int (*FreeS)(S**), void (*FreeT)(T**)>
struct ItemKind {
    using Source = S;
    using Target = T;
    static Source* Full() { return FullSource(); }
    static Target* NewTarget() { return NewT(); }
    static int32_t Map(const S* s, T** t, const char* organizerId, PRFileDesc* out,
                       int32_t traceLevel) {
        return MapFn(s, t, organizerId, 0, out, traceLevel);
    }
    static void Free(S** s) { FreeS(s); }
    static void Free(T** t) { FreeT(t); }
};

using EventKind = ItemKind<qEL2_VEVENT, CALDB_EVENT, FullEvent, caldb_NewEvent, EventMapping,
                           qel2_FreeEvent, caldb_FreeEvent>;
using ToDoKind = ItemKind<qEL2_VTODO, CALDB_TODO, FullToDo, caldb_NewToDo, ToDoMapping,
                          qel2_FreeToDo, caldb_FreeToDo>;

// One source and one target, both released at the end.
template <typename Kind>
struct ItemPair {
    typename Kind::Source* source = Kind::Full();
    typename Kind::Target* target = Kind::NewTarget();
    ~ItemPair() {
        Kind::Free(&source);
        Kind::Free(&target);
    }
    int32_t Map(const char* organizerId = "org-id", PRFileDesc* out = nullptr,
                int32_t traceLevel = 0) {
        return Kind::Map(source, &target, organizerId, out, traceLevel);
    }
};

using ItemKinds = testing::Types<EventKind, ToDoKind>;

}  // namespace qel2::test
