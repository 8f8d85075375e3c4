// Events and to-dos seen the same way for one-line and JSON listings.
#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include <qel2/records.h>

namespace qel2::cli {

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

ItemSummary Summarize(const qEL2_VEVENT& event);
ItemSummary Summarize(const qEL2_VTODO& todo);

// START  END  UID [@RECURRENCE-ID]  STATUS  SUMMARY [deleted] [linked from CAL]
// (a to-do shows START  DUE  COMPLETED ...); times in ISO 8601 UTC; text
// in UTF-8 with control characters escaped.
std::string ItemLine(const ItemSummary& item);
// The same as a JSON object, text in UTF-8 (json_text.h).
nlohmann::json ItemJson(const ItemSummary& item);

}  // namespace qel2::cli
