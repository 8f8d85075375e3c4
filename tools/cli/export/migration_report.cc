#include "migration_report.h"

#include <algorithm>

#include <nlohmann/json.hpp>

namespace qel2::cli::exporter {

const char* OutcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::kChanged:
            return "changed";
        case Outcome::kRepaired:
            return "repaired";
        case Outcome::kLeftOut:
            return "left out";
    }
    return "?";
}

void RecordNotes::Add(Outcome outcome, std::string what, std::string why) {
    for (const ReportEntry& entry : entries_)
        if (entry.outcome == outcome && entry.what == what) return;  // once per record
    entries_.push_back(ReportEntry{{}, outcome, std::move(what), std::move(why)});
}

bool RecordNotes::leftOut() const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [](const ReportEntry& entry) { return entry.outcome == Outcome::kLeftOut; });
}

void CalendarReport::AddRecord(const RecordRef& record, const std::vector<ReportEntry>& entries) {
    bool seen[3] = {};
    for (const ReportEntry& entry : entries) {
        entries_.push_back(entry);
        entries_.back().record = record;
        seen[static_cast<int>(entry.outcome)] = true;
    }
    counts_.changed += seen[0];
    counts_.repaired += seen[1];
    counts_.leftOut += seen[2];
}

bool MigrationReport::incomplete() const {
    return std::any_of(calendars_.begin(), calendars_.end(), [](const CalendarReport& calendar) {
        return calendar.counts().leftOut != 0 || !calendar.failure().empty();
    });
}

nlohmann::json MigrationReport::ToJson() const {
    nlohmann::json calendars = nlohmann::json::array();
    CalendarCounts total;
    for (const CalendarReport& calendar : calendars_) {
        const CalendarCounts& c = calendar.counts();
        nlohmann::json records = nlohmann::json::array();
        for (const ReportEntry& entry : calendar.entries())
            records.push_back({{"calendar", calendar.calendarId()},
                               {"uid", entry.record.uid},
                               {"recurrence_id", entry.record.recurrenceId},
                               {"database", entry.record.database},
                               {"key", entry.record.keyHex},
                               {"outcome", OutcomeName(entry.outcome)},
                               {"what", entry.what},
                               {"why", entry.why}});
        nlohmann::json item = {{"calendar", calendar.calendarId()},
                               {"events", c.events},
                               {"todos", c.todos},
                               {"resources", c.resources},
                               {"changed", c.changed},
                               {"repaired", c.repaired},
                               {"left_out", c.leftOut},
                               {"records", std::move(records)}};
        if (!calendar.failure().empty()) item["failure"] = calendar.failure();
        calendars.push_back(std::move(item));
        total.events += c.events;
        total.todos += c.todos;
        total.resources += c.resources;
        total.changed += c.changed;
        total.repaired += c.repaired;
        total.leftOut += c.leftOut;
    }
    return {{"complete", !incomplete()},
            {"events", total.events},
            {"todos", total.todos},
            {"changed", total.changed},
            {"repaired", total.repaired},
            {"left_out", total.leftOut},
            {"calendars", std::move(calendars)}};
}

std::string MigrationReport::Summary() const {
    nlohmann::json totals = ToJson();
    std::string text = "report: " + totals["changed"].dump() + " records changed, " +
                       totals["repaired"].dump() + " repaired, " + totals["left_out"].dump() +
                       " left out\n";
    for (const CalendarReport& calendar : calendars_) {
        const CalendarCounts& c = calendar.counts();
        if (!calendar.failure().empty())
            text += "  " + calendar.calendarId() + ": not written: " + calendar.failure() + "\n";
        else if (c.changed + c.repaired + c.leftOut != 0)
            text += "  " + calendar.calendarId() + ": " + std::to_string(c.changed) + " changed, " +
                    std::to_string(c.repaired) + " repaired, " + std::to_string(c.leftOut) +
                    " left out\n";
    }
    return text;
}

}  // namespace qel2::cli::exporter
