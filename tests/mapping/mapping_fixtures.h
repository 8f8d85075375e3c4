// Source records for the mapping tests, and the event and to-do mappings
// under one interface, so that typed tests run the same checks over both.
#pragma once

#include <gtest/gtest.h>

#include <qel2/mapping.h>

namespace qel2test {

// An event or to-do, not a link, whose strings hold their host field names
// ("summary", "uid", ...) and whose lists hold their names as one element
// ("rrules"; pExtraList1 stays absent), with an organizer, three attendees
// and one alarm.
qEL2_VEVENT* FullEvent();
qEL2_VTODO* FullToDo();

struct EventKind {
    using Source = qEL2_VEVENT;
    using Target = CALDB_EVENT;
    static Source* Full() { return FullEvent(); }
    static Target* NewTarget() { return caldb_NewEvent(); }
    static void MakeLink(Source* s) { s->rtflags |= qEL2_EVENT_RT_LINK; }
    static int32_t Map(const Source* s, Target** t, const char* organizerId, PRFileDesc* out,
                       int32_t traceLevel) {
        return EventMapping(s, t, organizerId, 0, out, traceLevel);
    }
    static void Free(Source** s) { qel2_FreeEvent(s); }
    static void Free(Target** t) { caldb_FreeEvent(t); }
};

struct ToDoKind {
    using Source = qEL2_VTODO;
    using Target = CALDB_TODO;
    static Source* Full() { return FullToDo(); }
    static Target* NewTarget() { return caldb_NewToDo(); }
    static void MakeLink(Source* s) { s->flags |= qEL2_TODO_LINK; }
    static int32_t Map(const Source* s, Target** t, const char* organizerId, PRFileDesc* out,
                       int32_t traceLevel) {
        return ToDoMapping(s, t, organizerId, 0, out, traceLevel);
    }
    static void Free(Source** s) { qel2_FreeToDo(s); }
    static void Free(Target** t) { caldb_FreeToDo(t); }
};

// One source and one target, both released at the end.
template <typename Kind>
struct ItemPair {
    typename Kind::Source* source = Kind::Full();
    typename Kind::Target* target = Kind::NewTarget();
    ~ItemPair() {
        Kind::Free(&source);
        Kind::Free(&target);
    }
    int32_t Map(const char* organizerId = "org-id", PRFileDesc* out = nullptr, int32_t traceLevel = 0) {
        return Kind::Map(source, &target, organizerId, out, traceLevel);
    }
};

using ItemKinds = testing::Types<EventKind, ToDoKind>;

}  // namespace qel2test
