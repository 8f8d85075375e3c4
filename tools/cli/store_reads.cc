#include "store_reads.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>

#include <qel2/query.h>
#include <qel2/store_internal.h>

#include "cli_error.h"

namespace qel2::cli {

namespace {

std::string CalendarId(const qEL2_CALPROPS* calendar) {
    return calendar->pRelativeCalID ? calendar->pRelativeCalID : "";
}

}  // namespace

std::string DatabasePath(const StoreSession& store, const char* file) {
    return (std::filesystem::path(store.directory()) / file).string();
}

qel2::CalPropsListPtr ReadAllCalendars(StoreSession& store) {
    store.Reading(qel2_asDBFiles[qEL2_FILE_CALPROPS]);
    array_t* list = nullptr;
    int result = store.db().SearchCalProps(nullptr, 0, qEL2_MATCH_CONTAINS, 0, &list);
    qel2::CalPropsListPtr owned(list);
    if (result != 0 || !owned)
        throw CliError("reading the calendars of " +
                       DatabasePath(store, qel2_asDBFiles[qEL2_FILE_CALPROPS]) +
                       " failed: " + ResultText(result));
    return owned;
}

std::vector<qEL2_CALPROPS*> SortedById(const array_t* calendars) {
    ListView<qEL2_CALPROPS> view{calendars};
    std::vector<qEL2_CALPROPS*> sorted(view.begin(), view.end());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const qEL2_CALPROPS* a, const qEL2_CALPROPS* b) {
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

}  // namespace qel2::cli
