// Runs every kind of read over every calendar of the fault store and
// tallies what came back, so that a damaged copy can be compared with an
// intact one.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace qel2test {

struct SweepTally {
    uint32_t calendars = 0;  // read by id
    uint32_t searched = 0;   // listed by the search without pattern
    uint32_t events = 0;     // listed by the time-window walks
    uint32_t todos = 0;
    // Walked records that a single read by key did not return with 0.
    std::vector<std::string> singleReadMisses;
    std::set<int> results;  // every result code seen
    bool operator==(const SweepTally&) const = default;
};

// Reads calendars "user0".."user<calendars-1>" of the open store by id,
// lists each one's events and to-dos (tombstones too), reads every listed
// record again by its key, and runs a search over all calendars.
SweepTally SweepStore(uint32_t calendars);

}  // namespace qel2test
