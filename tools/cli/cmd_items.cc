// events STORE CALID and todos STORE CALID: one calendar's events or
// to-dos in time order, one line each, dumped (--long), or as JSON.

#include <cstdio>
#include <functional>

#include <nlohmann/json.hpp>

#include "commands.h"
#include "item_order.h"
#include "json_text.h"
#include "standard_output.h"
#include "store_reads.h"
#include "utf8_text.h"
#include "value_text.h"

namespace qel2::cli {

namespace {

// Events and to-dos seen the same way for one-line and JSON listings.
struct ItemSummary {
    bool isToDo = false;
    std::string uid;
    uint32_t recurrenceId = 0;
    uint32_t start = 0;
    bool startIsDate = false;
    uint32_t end = 0;  // dtEnd of an event, dtDue of a to-do
    bool endIsDate = false;
    uint32_t completed = 0;  // to-dos only
    std::string status;      // name, "-" or "STATUS-<n>"
    uint32_t priority = 0;
    bool tombstone = false;
    std::string linkedFrom;  // calendar a linked record was read from
    std::string summary;
    std::string charset;  // the record's pCharset, "" when none: uid and summary are in it
};

template <typename Item>
void FillShared(ItemSummary& summary, const Item& item) {
    summary.uid = item.pUID ? item.pUID : "";
    summary.recurrenceId = item.RecurrenceID;
    summary.start = item.dtStart;
    summary.linkedFrom = item.pLinkedCalID ? item.pLinkedCalID : "";
    summary.summary = item.pSummary ? item.pSummary : "";
    summary.charset = item.pCharset ? item.pCharset : "";
}

// Stored text for a terminal: UTF-8, nothing that moves the cursor.
std::string Shown(const std::string& text, const std::string& charset) {
    return qel2::tools::TerminalText(qel2::tools::ToUtf8(text, charset.c_str()).text);
}

nlohmann::json TimeOrNull(uint32_t time, bool isDate) {
    return time == 0 ? nlohmann::json(nullptr) : nlohmann::json(IsoTimeOrDate(time, isDate));
}

ItemSummary Summarize(const qEL2_VEVENT& event) {
    ItemSummary summary;
    FillShared(summary, event);
    summary.startIsDate = qel2_EventStartIsDate(event.flags);
    summary.end = event.dtEnd;
    summary.endIsDate = qel2_EventEndIsDate(event.flags);
    uint32_t status = qel2_EventStatus(event.flags);
    summary.status = StatusText(EventStatusName(status), status);
    summary.priority = qel2_EventPriority(event.flags);
    summary.tombstone = qel2_EventTombstone(event.flags);
    return summary;
}

ItemSummary Summarize(const qEL2_VTODO& todo) {
    ItemSummary summary;
    FillShared(summary, todo);
    summary.isToDo = true;
    summary.startIsDate = qel2_ToDoStartIsDate(todo.flags);
    summary.end = todo.dtDue;
    summary.endIsDate = qel2_ToDoDueIsDate(todo.flags);
    summary.completed = todo.dtCompleted;
    uint32_t status = qel2_ToDoStatus(todo.flags);
    summary.status = StatusText(ToDoStatusName(status), status);
    summary.priority = qel2_ToDoPriority(todo.flags);
    summary.tombstone = qel2_ToDoTombstone(todo.flags);
    return summary;
}

// START  END  UID [@RECURRENCE-ID]  STATUS  SUMMARY [deleted] [linked from CAL]
// (a to-do shows START  DUE  COMPLETED ...); times in ISO 8601 UTC; text
// in UTF-8 with control characters escaped.
std::string ItemLine(const ItemSummary& item) {
    // Appended piece by piece: g++ 12 warns falsely (-Wrestrict) about
    // "literal" + std::string temporaries in Release builds.
    std::string line = IsoTimeOrDate(item.start, item.startIsDate);
    line.append("  ").append(IsoTimeOrDate(item.end, item.endIsDate));
    if (item.isToDo) line.append("  ").append(IsoTime(item.completed));
    line.append("  ").append(Shown(item.uid, item.charset));
    if (item.recurrenceId != 0) line.append("@").append(IsoTime(item.recurrenceId));
    line.append("  ").append(item.status).append("  ");
    line.append(item.summary.empty() ? "(no summary)" : Shown(item.summary, item.charset));
    if (item.tombstone) line.append("  [deleted]");
    if (!item.linkedFrom.empty())
        line.append("  [linked from ").append(Shown(item.linkedFrom, "")).append("]");
    return line;
}

// The same as a JSON object, text in UTF-8 (json_text.h).
nlohmann::json ItemJson(const ItemSummary& item) {
    JsonText text(item.charset.empty() ? nullptr : item.charset.c_str());
    nlohmann::json json = {
        {"uid", text("uid", item.uid)},
        {"recurrence_id", TimeOrNull(item.recurrenceId, false)},
        {"start", TimeOrNull(item.start, item.startIsDate)},
        {item.isToDo ? "due" : "end", TimeOrNull(item.end, item.endIsDate)},
        {"status", item.status},
        {"priority", item.priority},
        {"summary", item.summary.empty() ? nlohmann::json(nullptr) : text("summary", item.summary)},
        {"deleted", item.tombstone},
        {"linked_from", item.linkedFrom.empty() ? nlohmann::json(nullptr)
                                                : text.Plain("linked_from", item.linkedFrom)},
    };
    if (item.isToDo) json["completed"] = TimeOrNull(item.completed, false);
    text.Mark(json);
    return json;
}

// Prints each record as it comes, in the form the options ask for. JSON is
// written element by element, so no document of the whole calendar is
// ever held.
template <typename Record>
class ItemPrinter {
public:
    explicit ItemPrinter(const Arguments& arguments)
        : json_(arguments.has("--json")), long_(arguments.has("--long")) {}

    void operator()(Record& record) {
        if (json_) {
            std::string element = ItemJson(Summarize(record)).dump(2);
            std::string indented;
            for (char c : element) indented += c == '\n' ? "\n  " : std::string(1, c);
            std::printf("%s\n  %s", first_ ? "[" : ",", indented.c_str());
        } else if (long_) {
            DumpRecord(record);
            std::printf("\n");
        } else {
            std::printf("%s\n", ItemLine(Summarize(record)).c_str());
        }
        first_ = false;
        CheckOutput();
    }

    void Finish() {
        if (json_) std::printf("%s\n", first_ ? "[]" : "\n]");
    }

private:
    bool json_;
    bool long_;
    bool first_ = true;
};

enum class ItemKind { Event, ToDo };

int ListItems(const Arguments& arguments, ItemKind kind) {
    TimeWindow window = WindowFromOptions(arguments);
    uint32_t flags = ReadFlagsFromOptions(arguments);
    StoreSession store(arguments.store);
    qel2::CalPropsPtr calendar = store.ReadCalendar(arguments.operands.at(0));
    size_t count = 0;
    if (kind == ItemKind::Event) {
        ItemPrinter<qEL2_VEVENT> printer(arguments);
        count = ForEachEventInTimeOrder(store, calendar.get(), window, flags, std::ref(printer));
        printer.Finish();
    } else {
        ItemPrinter<qEL2_VTODO> printer(arguments);
        count = ForEachToDoInTimeOrder(store, calendar.get(), window, flags, std::ref(printer));
        printer.Finish();
    }
    if (count == 0)
        std::fprintf(stderr, "qel2caldb: calendar \"%s\" has no %s%s\n",
                     qel2::tools::TerminalText(arguments.operands[0]).c_str(),
                     kind == ItemKind::Event ? "events" : "to-dos",
                     window.start ? " in that window" : "");
    return 0;
}

}  // namespace

const Command kEventsCommand = {
    "events",
    "events STORE CALID [--from TIME] [--to TIME] [--tombstones] [--long | --json]",
    "list the events of one calendar, one line each",
    "Each line: start, end, uid (@recurrence id for an instance), status, summary;\n"
    "in order of start, then uid, then recurrence id (events without a start last);\n"
    "times in UTC, dates alone for all-day events. An event another calendar keeps\n"
    "and this one links to is listed here, marked [linked from CAL].\n"
    "TIME is a date (2006-01-16), a UTC time (2006-01-16T14:00:00Z) or seconds since\n"
    "1970; --from and --to keep the events that overlap that window (events without\n"
    "an end fall outside any window). Deleted events are left out unless\n"
    "--tombstones. --long prints every field, --json a JSON array.\n",
    {"--from", "--to"},
    {"--tombstones", "--long", "--json"},
    2,
    2,
    [](const Arguments& arguments) { return ListItems(arguments, ItemKind::Event); },
};

const Command kToDosCommand = {
    "todos",
    "todos STORE CALID [--from TIME] [--to TIME] [--tombstones] [--long | --json]",
    "list the to-dos of one calendar, one line each",
    "Each line: start, due, completed, uid, status, summary; times in UTC; in order\n"
    "of start, then uid, then recurrence id (to-dos without a start last).\n"
    "TIME is a date, a UTC time or seconds since 1970. A window keeps the to-dos\n"
    "completed within it and every open one. Deleted to-dos are left out unless\n"
    "--tombstones. --long prints every field, --json a JSON array.\n",
    {"--from", "--to"},
    {"--tombstones", "--long", "--json"},
    2,
    2,
    [](const Arguments& arguments) { return ListItems(arguments, ItemKind::ToDo); },
};

}  // namespace qel2::cli
