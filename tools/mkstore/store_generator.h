// Large deterministic stores for benchmarks and load tests: N calendars of
// M events (and K to-dos) each, with realistic field sizes, the same bytes
// for the same seed.
#pragma once

#include <cstdint>
#include <string>

namespace qel2::mkstore {

struct GenerateOptions {
    uint32_t calendars = 1;
    uint32_t eventsPerCalendar = 0;
    uint32_t todosPerCalendar = 0;
    uint64_t seed = 1;
    // Records start within two years after this time; calendars are made
    // up to two years before it.
    uint32_t firstStart = 1104537600;  // 2005-01-01
};

struct GenerateSummary {
    uint64_t calendars = 0;
    uint64_t events = 0;
    uint64_t todos = 0;
    uint64_t alarmRecords = 0;
    uint64_t valueBytes = 0;
};

// Calendar i is "user<i>"; its records are "user<i>-evt-<r>" and
// "user<i>-todo-<r>" for record index r, laid out by index so that readers
// can rely on them:
//   r % 20 == 0   a plain event (the target of links)
//   r % 20 == 7   a link to the record of index r-7 in calendar i+1
//                 (with more than one calendar)
//   r % 50 == 13  a tombstone
//   r % 10 == 4   the master of a recurring event; indices r+1 and r+2 are
//                 two of its instances (same uid)
// Contents (texts, attendees, alarms) come from the seed.
GenerateSummary GenerateStore(const GenerateOptions& options, const std::string& directory);

}  // namespace qel2::mkstore
