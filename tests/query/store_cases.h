// The read cases of a store. The genuine store's manifest and the store
// descriptions in tests/data/stores hold them in one format
// (tests/data/legacy42-store.md): calendar reads and searches, single reads
// of events and to-dos with the link step's own result, and time windows.
#pragma once

#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

namespace qel2::test {

// Every case of `store` run on the open store, as what the reads gave and
// what the case expects: [case id, result, ...]. A record a read hands back
// is expected to hold the fields of the stored record its item names
// ("record") with the item's own fields over them, and compared on those.
std::vector<std::pair<nlohmann::json, nlohmann::json>> RunCases(const nlohmann::json& store);

}  // namespace qel2::test
