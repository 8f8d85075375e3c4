// The library's kinds of record (query/record_kinds.h) with their entry
// points, so that what events and to-dos share is tested once.
#pragma once

#include <qel2/owned.h>
#include <qel2/qel2.h>
#include <qel2/query_internal.h>

#include "query/record_kinds.h"

namespace qel2::test {

// The single read and the window are called through the facade, which
// forwards them unchanged; the core read and the link step directly.
template <typename Kind, auto ReadFn, auto WindowFn, auto ReadCoreFn, auto ReadLinkedFn,
          auto FreeListFn>
struct Queries : Kind {
    using Ptr = qel2::Owned<typename Kind::Record, Kind::Free>;
    static constexpr auto Read = ReadFn;
    static constexpr auto Window = WindowFn;
    static constexpr auto ReadCore = ReadCoreFn;
    static constexpr auto ReadLinked = ReadLinkedFn;
    static constexpr auto FreeList = FreeListFn;
};
using Events = Queries<qel2::query::EventKind, &qel2BerkeleyDatabase::ReadEvent,
                       &qel2BerkeleyDatabase::ReadEventListByRange, qel2_pvt_ReadEventCore,
                       qel2_pvt_ReadLinkedEvent, qel2_FreeEventList>;
using ToDos = Queries<qel2::query::ToDoKind, &qel2BerkeleyDatabase::ReadToDo,
                      &qel2BerkeleyDatabase::ReadToDoListByRange, qel2_pvt_ReadToDoCore,
                      qel2_pvt_ReadLinkedToDo, qel2_FreeToDoList>;

}  // namespace qel2::test
