// The stores the command is tried on: one written by qel2-mkstore's
// generator (links, tombstones, recurring events) and the genuine
// Berkeley DB 4.2 store, recovered by the command itself. Made once for
// the whole suite.
#pragma once

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace qel2::test::cli {

struct CliStores {
    qel2::test::TempDir dir;
    std::filesystem::path generated;
    std::filesystem::path legacy;
    // The generator's counts.
    uint64_t calendars = 0, events = 0, todos = 0, alarmRecords = 0;
};

const CliStores& Stores();

}  // namespace qel2::test::cli
