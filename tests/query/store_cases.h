// The read cases of a store, and the kinds of record they read. The genuine
// store's manifest and the store descriptions in tests/data/stores hold
// them in one format (tests/data/legacy42-store.md): calendar reads and
// searches, single reads of events and to-dos with the link step's own
// result, and time windows.
#pragma once

#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include <qel2/owned.h>
#include <qel2/qel2.h>
#include <qel2/query_internal.h>

#include "query/record_kinds.h"
#include "support/log_capture.h"

namespace qel2::test {

// The library's kinds of record (query/record_kinds.h) with their entry
// points, so that what events and to-dos share is tested once: the single
// read and the window through the facade, which forwards them unchanged,
// the core read and the link step directly.
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

// Every case of `store` run on the open store, as what the reads gave and
// what the case expects: [case id, result, ...]. A record a read hands back
// is expected to hold the fields of the stored record its item names
// ("record") with the item's own fields over them, and compared on those.
// With `log`, a case's "logs" are compared with the lines it logged, as
// [level, text].
std::vector<std::pair<nlohmann::json, nlohmann::json>> RunCases(const nlohmann::json& store,
                                                                LogCapture* log = nullptr);

}  // namespace qel2::test
