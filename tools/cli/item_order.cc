#include "item_order.h"

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include <qel2/owned.h>
#include <qel2/query.h>
#include <qel2/query_internal.h>
#include <qel2/store_internal.h>

#include "cli_error.h"
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

struct EventReads {
    using Record = qEL2_VEVENT;
    using Owned = qel2::EventPtr;
    using OwnedList = qel2::EventListPtr;
    static constexpr const char* kWhat = "events";
    static constexpr int kFile = 0;  // index in qel2_asDBFiles
    static constexpr auto Scan = qel2_pvt_ScanEvents;
    static constexpr auto InWindow = qel2_ReadEventListByRangeCompare;
    static int Read(StoreSession& store, qEL2_CALPROPS* calendar, OrderKey& key, uint32_t flags,
                    Record** record) {
        return store.db().ReadEvent(calendar, key.uid.data(),
                                    static_cast<int32_t>(key.recurrenceId), flags, record);
    }
};

struct ToDoReads {
    using Record = qEL2_VTODO;
    using Owned = qel2::ToDoPtr;
    using OwnedList = qel2::ToDoListPtr;
    static constexpr const char* kWhat = "to-dos";
    static constexpr int kFile = 1;
    static constexpr auto Scan = qel2_pvt_ScanToDos;
    static constexpr auto InWindow = qel2_ReadToDoListByRangeCompare;
    static int Read(StoreSession& store, qEL2_CALPROPS* calendar, OrderKey& key, uint32_t flags,
                    Record** record) {
        return store.db().ReadToDo(calendar, key.uid.data(), static_cast<int32_t>(key.recurrenceId),
                                   flags, record);
    }
};

// For messages: stored text, escaped.
std::string CalendarName(const qEL2_CALPROPS* calendar) {
    return qel2::tools::TerminalText(calendar->pRelativeCalID ? calendar->pRelativeCalID : "");
}

template <typename Reads>
size_t ForEachInTimeOrder(StoreSession& store, qEL2_CALPROPS* calendar, TimeWindow window,
                          uint32_t flags,
                          const std::function<void(typename Reads::Record&)>& show) {
    const char* file = qel2_asDBFiles[Reads::kFile];
    store.Reading(file);
    std::vector<OrderKey> keys;
    KeyCollector collector{{flags, window.start, window.end}, Reads::InWindow, &keys};
    array_t* list = nullptr;
    int result =
        Reads::Scan(calendar, &list, flags, &collector, CollectKey<typename Reads::Record>);
    typename Reads::OwnedList owned(list);
    if (result != 0)
        throw CliError(std::string("reading the ") + Reads::kWhat + " of calendar \"" +
                       CalendarName(calendar) + "\" from " + DatabasePath(store, file) +
                       " failed: " + ResultText(result));
    std::sort(keys.begin(), keys.end());
    for (OrderKey& key : keys) {
        typename Reads::Record* record = nullptr;
        result = Reads::Read(store, calendar, key, flags, &record);
        typename Reads::Owned held(record);
        if (result != 0 || !held)
            // The walk found the record under its key, but its uid leads
            // elsewhere: the value does not belong to its key.
            throw CliError(DatabasePath(store, file) + ": one of the " + Reads::kWhat +
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
    return ForEachInTimeOrder<EventReads>(store, calendar, window, flags, show);
}

size_t ForEachToDoInTimeOrder(StoreSession& store, qEL2_CALPROPS* calendar, TimeWindow window,
                              uint32_t flags, const std::function<void(qEL2_VTODO&)>& show) {
    return ForEachInTimeOrder<ToDoReads>(store, calendar, window, flags, show);
}

}  // namespace qel2::cli
