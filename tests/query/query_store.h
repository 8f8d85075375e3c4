// Stores written record by record for the query tests, opened through the
// library, and owning handles for what the queries hand back.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <qel2/qel2.h>

#include "owned_records.h"
#include "record_encoder.h"
#include "store/store_fixture.h"
#include "store_writer.h"

namespace qel2test {

template <int (*Free)(array_t**)>
struct ListFree {
    void operator()(array_t* list) const { Free(&list); }
};
using CalPropsList = std::unique_ptr<array_t, ListFree<qel2_FreeCalPropsList>>;

// The record at `index` of a list the queries returned.
template <typename Record>
const Record* At(const array_t* list, uint32_t index) {
    return static_cast<const Record*>(array_elementat(list, index));
}

// "uid@recurrence" of each record, in list order.
template <typename Record>
std::vector<std::string> Names(const array_t* list) {
    std::vector<std::string> names;
    for (uint32_t i = 0; list != nullptr && i < list->count; ++i) {
        const Record* r = At<Record>(list, i);
        names.push_back(std::string(r->pUID ? r->pUID : "?") + "@" + std::to_string(r->RecurrenceID));
    }
    return names;
}

class QueryTest : public StoreTest {
protected:
    void addCalendar(const std::string& id, const std::string& name = "",
                     const std::string& owner = "", const std::vector<std::string_view>& others = {});
    // An event or to-do with times and flags; a to-do's `end` is its
    // completion time.
    void addEvent(const std::string& calendar, const std::string& uid, uint32_t recurrence, uint32_t start,
                  uint32_t end, uint32_t flags = 0);
    void addToDo(const std::string& calendar, const std::string& uid, uint32_t recurrence, uint32_t completed,
                 uint32_t flags = 0);
    // A link record in `calendar` standing for `uid` in `target`.
    void addEventLink(const std::string& calendar, const std::string& uid, const std::string& target);
    void addToDoLink(const std::string& calendar, const std::string& uid, const std::string& target);
    // A stored value that no decoder accepts.
    void addDamaged(qel2mk::Database database, const std::string& calendar, const std::string& uid);

    // Writes the store and opens it (no maintenance threads).
    void openStore();
    // The calendar as the host reads it, with a valid hash.
    qel2mk::CalPropsPtr calendar(const std::string& id);

private:
    qel2mk::StoreWriter& writer();
    std::unique_ptr<qel2mk::StoreWriter> writer_;
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
// no calendar; "chain-1" links through "chain-2" to "chain-3", and
// "ring-a" and "ring-b" link to each other.
class LinkedStoreTest : public QueryTest {
protected:
    void SetUp() override;
    qel2mk::CalPropsPtr home_;
};

}  // namespace qel2test
