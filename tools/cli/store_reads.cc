#include "store_reads.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include <qel2/query.h>

#include "cli_error.h"
#include "time_text.h"

namespace qel2cli {

namespace {

std::string CalendarId(const qEL2_CALPROPS* calendar) {
    return calendar->pRelativeCalID ? calendar->pRelativeCalID : "";
}

void CheckListRead(int result, const array_t* list, const char* what, const qEL2_CALPROPS* calendar) {
    if (result != 0 || list == nullptr)
        throw CliError(std::string("reading the ") + what + " of calendar \"" + CalendarId(calendar) +
                       "\" failed (result " + std::to_string(result) + ")");
}

}  // namespace

qel2::CalPropsListPtr ReadAllCalendars(StoreSession& store) {
    array_t* list = nullptr;
    int result = store.db().SearchCalProps(nullptr, 0, qEL2_MATCH_CONTAINS, 0, &list);
    qel2::CalPropsListPtr owned(list);
    if (result != 0 || !owned)
        throw CliError("reading the calendars of " + store.directory() + " failed (result " + std::to_string(result) +
                       ")");
    return owned;
}

std::vector<qEL2_CALPROPS*> SortedById(const array_t* calendars) {
    ListView<qEL2_CALPROPS> view{calendars};
    std::vector<qEL2_CALPROPS*> sorted(view.begin(), view.end());
    std::stable_sort(sorted.begin(), sorted.end(), [](const qEL2_CALPROPS* a, const qEL2_CALPROPS* b) {
        return CalendarId(a) < CalendarId(b);
    });
    return sorted;
}

TimeWindow WindowFromOptions(const Arguments& arguments) {
    std::optional<std::string> from = arguments.value("--from");
    std::optional<std::string> to = arguments.value("--to");
    if (!from && !to) return {};
    TimeWindow window{1, INT32_MAX};
    if (from) window.start = std::max<int32_t>(1, ParseTime("--from", *from));
    if (to) window.end = ParseTime("--to", *to);
    if (window.end <= window.start) throw UsageError("--to must come after --from");
    return window;
}

uint32_t ReadFlagsFromOptions(const Arguments& arguments) {
    return arguments.has("--tombstones") ? qEL2_READ_TOMBSTONES : 0;
}

qel2::EventListPtr ReadEvents(StoreSession& store, qEL2_CALPROPS* calendar, TimeWindow window, uint32_t flags) {
    array_t* list = nullptr;
    int result = store.db().ReadEventListByRange(calendar, window.start, window.end, flags, &list);
    qel2::EventListPtr owned(list);
    CheckListRead(result, list, "events", calendar);
    return owned;
}

qel2::ToDoListPtr ReadToDos(StoreSession& store, qEL2_CALPROPS* calendar, TimeWindow window, uint32_t flags) {
    array_t* list = nullptr;
    int result = store.db().ReadToDoListByRange(calendar, window.start, window.end, flags, &list);
    qel2::ToDoListPtr owned(list);
    CheckListRead(result, list, "to-dos", calendar);
    return owned;
}

}  // namespace qel2cli
