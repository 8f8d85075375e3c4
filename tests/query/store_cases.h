// The read cases of a store, in the format of the genuine store's manifest
// (tests/data/legacy42-store.md), and the kinds of record they read.
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
// points; the facade forwards the read and the window unchanged.
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

// Each case of `store` run on the open store, as what it gave and what it
// expects: [id, result, ...]. Records are compared on the fields their item
// names, its own and its stored "record"'s; with `log`, also the log lines.
std::vector<std::pair<nlohmann::json, nlohmann::json>> RunCases(const nlohmann::json& store,
                                                                LogCapture* log = nullptr);

}  // namespace qel2::test
