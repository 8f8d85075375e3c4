#include "item_order.h"

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include <qel2/query_internal.h>

#include "cli_error.h"
#include "item_kinds.h"
#include "store_reads.h"
#include "utf8_text.h"

namespace qel2::cli {

namespace {

struct OrderKey {
    uint32_t start;  // 0: not set
    std::string uid;
    uint32_t recurrenceId;

    bool operator<(const OrderKey& other) const {
        // Unset starts (0) sort after every real time.
        return std::tuple(start == 0, start, std::string_view(uid), recurrenceId) <
               std::tuple(other.start == 0, other.start, std::string_view(other.uid),
                          other.recurrenceId);
    }
};

// What the walk's filter needs: the library's own window test, and where
// the keys go. The filter keeps no record, so the library's list stays
// empty and each record is freed as soon as its key is taken.
struct KeyCollector {
    qEL2_RANGE_FILTER range;
    int (*inWindow)(const void* record, const void* range);
    std::vector<OrderKey>* keys;
};

template <typename Record>
int CollectKey(const void* record, const void* argument) {
    const auto& collector = *static_cast<const KeyCollector*>(argument);
    if (!collector.inWindow(record, &collector.range)) return 0;
    const auto& item = *static_cast<const Record*>(record);
    collector.keys->push_back({item.dtStart, item.pUID ? item.pUID : "", item.RecurrenceID});
    return 0;
}

// For messages: stored text, escaped.
std::string CalendarName(const qEL2_CALPROPS* calendar) {
    return qel2::tools::TerminalText(calendar->pRelativeCalID ? calendar->pRelativeCalID : "");
}

template <typename Kind>
size_t ForEachInTimeOrder(StoreSession& store, qEL2_CALPROPS* calendar, TimeWindow window,
                          uint32_t flags, const std::function<void(typename Kind::Record&)>& show) {
    const char* file = Kind::kDatabase;
    store.Reading(file);
    std::vector<OrderKey> keys;
    KeyCollector collector{{flags, window.start, window.end}, Kind::InWindow, &keys};
    array_t* list = nullptr;
    int result = Kind::Scan(calendar, &list, flags, &collector, CollectKey<typename Kind::Record>);
    typename Kind::OwnedList owned(list);
    if (result != 0)
        throw CliError(std::string("reading the ") + Kind::kWhat + " of calendar \"" +
                       CalendarName(calendar) + "\" from " + DatabasePath(store, file) +
                       " failed: " + ResultText(result));
    std::sort(keys.begin(), keys.end());
    for (OrderKey& key : keys) {
        typename Kind::Record* record = nullptr;
        result = Kind::Read(store.db(), calendar, key.uid.data(),
                            static_cast<int32_t>(key.recurrenceId), flags, &record);
        typename Kind::Owned held(record);
        if (result != 0 || !held)
            // The walk found the record under its key, but its uid leads
            // elsewhere: the value does not belong to its key.
            throw CliError(DatabasePath(store, file) + ": one of the " + Kind::kWhat +
                           " of calendar \"" + CalendarName(calendar) +
                           "\" cannot be read again by its uid \"" +
                           qel2::tools::TerminalText(key.uid) + "\" (" + ResultText(result) +
                           "): the value does not match its key");
        show(*held);
    }
    return keys.size();
}

}  // namespace

size_t ForEachEventInTimeOrder(StoreSession& store, qEL2_CALPROPS* calendar, TimeWindow window,
                               uint32_t flags, const std::function<void(qEL2_VEVENT&)>& show) {
    return ForEachInTimeOrder<EventItems>(store, calendar, window, flags, show);
}

size_t ForEachToDoInTimeOrder(StoreSession& store, qEL2_CALPROPS* calendar, TimeWindow window,
                              uint32_t flags, const std::function<void(qEL2_VTODO&)>& show) {
    return ForEachInTimeOrder<ToDoItems>(store, calendar, window, flags, show);
}

}  // namespace qel2::cli
