// Stores written from a description for the query tests, opened through
// the library, and owning handles for what the queries hand back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <qel2/qel2.h>

#include "owned_records.h"
#include "store/store_fixture.h"

namespace qel2::test {

// The record at `index` of a list the queries returned.
template <typename Record>
const Record* At(const array_t* list, uint32_t index) {
    return static_cast<const Record*>(array_elementat(list, index));
}

// "uid@recurrence" of a record.
template <typename Record>
std::string Name(const Record* r) {
    return std::string(r->pUID ? r->pUID : "?") + "@" + std::to_string(r->RecurrenceID);
}

// The names of a list's records, in list order.
template <typename Record>
std::vector<std::string> Names(const array_t* list) {
    std::vector<std::string> names;
    for (uint32_t i = 0; list != nullptr && i < list->count; ++i)
        names.push_back(Name(At<Record>(list, i)));
    return names;
}

// The ids of a list of calendars, each after a space and followed by "#"
// when the record carries its valid hash (the MD5 digest of its id).
std::string HashedIds(const array_t* list);

class QueryTest : public StoreTest {
protected:
    // Writes the store of a JSON description (tools/mkstore/store_description.h)
    // and opens it without maintenance threads.
    void openStore(const char* description);
    // The calendar as the host reads it, with a valid hash.
    qel2::CalPropsPtr calendar(const std::string& id);
};

// Times of the shared store: the event window is [kFrom, kTo] with both
// ends exclusive, the to-do window [kFrom, kTo) on completion times.
inline constexpr uint32_t kFrom = 1000;
inline constexpr uint32_t kTo = 3000;
inline constexpr uint32_t kLastRecurrence = 0xFFFFFFFFu;

// Calendar "home" holds one of each kind of event and to-do the queries
// tell apart: window boundaries, a tombstone, links that work and links
// that fail in each way, a damaged value and the largest recurrence id.
// "work" keeps the linked records, "empty" none; "nowhere" has records but
// no calendar; "chain-1" links through "chain-2" to "chain-3", "ring-a"
// and "ring-b" link to each other, and "mixed" links into work and chain-3.
// In key order "nowhere" comes right before home, "mixed" (events) and
// "ring-a" (to-dos) right after it.
class LinkedStoreTest : public QueryTest {
protected:
    void SetUp() override;
    qel2::CalPropsPtr home_;
};

}  // namespace qel2::test
