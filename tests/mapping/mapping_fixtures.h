// Source records for the mapping tests, and the event and to-do mappings
// under one interface, so that typed tests run the same checks over both.
#pragma once

#include <gtest/gtest.h>

#include <qel2/mapping.h>
#include <qel2/standin_host.h>

namespace qel2::test {

// A full event or to-do, not a link (tests/data/mapping/full-item.json):
// each string holds the name of the host field it maps to, each list that
// name as its one element (pExtraList1 stays absent); an organizer, three
// attendees and one alarm.
qEL2_VEVENT* FullEvent();
qEL2_VTODO* FullToDo();

inline void MakeLink(qEL2_VEVENT* event) { event->rtflags |= qEL2_EVENT_RT_LINK; }
inline void MakeLink(qEL2_VTODO* todo) { todo->flags |= qEL2_TODO_LINK; }

// One of the two mappings with the constructors and destructors of its
// records.
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
