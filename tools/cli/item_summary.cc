#include "item_summary.h"

#include <nlohmann/json.hpp>

#include "json_text.h"
#include "status_names.h"
#include "time_text.h"
#include "utf8_text.h"

namespace qel2::cli {

namespace {

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

}  // namespace

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

}  // namespace qel2::cli
