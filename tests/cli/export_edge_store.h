// A store holding every case the export has to repair, change or leave
// out, written by qel2-mkstore: hostile bytes (CR LF, control characters)
// in every string field, non-UTF-8 charsets, out-of-range numbers, alarms
// of every action, orphan and rule-carrying instances, a UID shared by an
// event and a to-do, mixed dates, missing starts, a dangling link, and
// long and non-ASCII calendar ids.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qel2::test::cli {

// What the report must say about one record.
struct ExpectedEntry {
    std::string uid;
    std::string outcome;  // "changed", "repaired", "left out"
    std::string what;     // a part of the entry's "what"
};

struct EdgeStore {
    std::filesystem::path path;
    std::vector<ExpectedEntry> expected;
    std::string longCalendarId;
};

// Writes the store into `directory`.
EdgeStore WriteEdgeStore(const std::filesystem::path& directory);

}  // namespace qel2::test::cli
