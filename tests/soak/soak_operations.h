// The reads of the soak: a fixed table of single reads, time-window reads
// and calendar searches over a generated store, each with the result and
// digest that one thread alone obtained for it before the load starts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store_generator.h"

namespace qel2::test::soak {

enum class Kind { SingleEvent, SingleToDo, EventWindow, ToDoWindow, Search };

struct Operation {
    Kind kind;
    uint32_t calendar;    // index i of "user<i>"
    std::string text;     // unique id, or the search pattern
    uint32_t recurrence;  // single reads
    int32_t from, to;     // windows
    int result = 0;       // expected, from the reference run
    uint64_t digest = 0;
};

// Draws `count` operations over the store's calendars and records, the same
// ones for the same seed.
std::vector<Operation> DrawOperations(const qel2::mkstore::GenerateOptions& shape, size_t count,
                                      uint32_t seed);

// Runs one operation on the open store: its result, and the digest of what
// it returned in `digest`.
int Run(const Operation& operation, uint64_t& digest);

// Describes an operation for failure messages.
std::string Describe(const Operation& operation);

}  // namespace qel2::test::soak
