// The store of every case export has to repair, change or leave out, as
// tests/data/cli/edge-store.json describes it: hostile bytes (CR LF,
// control characters) in every string field, other charsets, out-of-range
// numbers, alarms of every action, orphan and rule-carrying instances, a UID
// shared by an event and a to-do, mixed dates, missing starts, a dangling
// link, a long non-ASCII calendar id, a damaged value.
#pragma once

#include <filesystem>

#include <nlohmann/json.hpp>

namespace qel2::test::cli {

// Writes the store into `directory`; returns its description, which also
// holds "expected_report" and "long_calendar_id".
nlohmann::json WriteEdgeStore(const std::filesystem::path& directory);

}  // namespace qel2::test::cli
