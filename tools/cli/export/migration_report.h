// What an export changed: every record written otherwise than stored,
// repaired, or left out, with the reason, and the counts per calendar.
// The same report serves the files written by `export` and the resources
// uploaded by `push`; it is built without writing anything.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include <qel2/records.h>

namespace qel2::cli::exporter {

enum class Outcome {
    kChanged,   // written, with a value adjusted to fit its iCalendar type
    kRepaired,  // written after a recurrence, date or UID repair
    kLeftOut,   // not written
};
const char* OutcomeName(Outcome outcome);

// Which stored record an entry is about.
struct RecordRef {
    std::string database;  // "events.db" or "todos.db"
    std::string uid;       // as stored (UTF-8, damaged bytes replaced)
    uint32_t recurrenceId = 0;
    std::string keyHex;  // the record's key in `database`
};

struct ReportEntry {
    RecordRef record;
    Outcome outcome;
    std::string what;  // what was done ("SEQUENCE kept as X-QEL2-SEQUENCE")
    std::string why;   // why ("3000000000 does not fit a signed 32-bit integer")
};

struct CalendarCounts {
    uint64_t events = 0;     // written
    uint64_t todos = 0;      // written
    uint64_t resources = 0;  // one per UID
    uint64_t changed = 0;    // records with at least one entry of each kind
    uint64_t repaired = 0;
    uint64_t leftOut = 0;
};

class CalendarReport {
public:
    explicit CalendarReport(std::string calendarId) : calendarId_(std::move(calendarId)) {}

    const std::string& calendarId() const { return calendarId_; }
    CalendarCounts& counts() { return counts_; }
    const CalendarCounts& counts() const { return counts_; }
    const std::vector<ReportEntry>& entries() const { return entries_; }

    // Adds the entries of one record; counts it once per outcome.
    void AddRecord(const RecordRef& record, const std::vector<ReportEntry>& entries);
    // The calendar could not be written (or only partly): the reason.
    void Fail(const std::string& reason) { failure_ = reason; }
    const std::string& failure() const { return failure_; }

private:
    std::string calendarId_;
    CalendarCounts counts_;
    std::vector<ReportEntry> entries_;
    std::string failure_;
};

// The notes one record collects while it is written; the calendar report
// takes them with the record's identity.
class RecordNotes {
public:
    void Add(Outcome outcome, std::string what, std::string why);
    const std::vector<ReportEntry>& entries() const { return entries_; }
    bool leftOut() const;

private:
    std::vector<ReportEntry> entries_;
};

// The whole export: report.json's document and the summary for standard
// error.
class MigrationReport {
public:
    void Add(CalendarReport calendar) { calendars_.push_back(std::move(calendar)); }
    const std::vector<CalendarReport>& calendars() const { return calendars_; }

    // True when a record was left out or a calendar failed: the export
    // then ends with a non-zero status.
    bool incomplete() const;
    nlohmann::json ToJson() const;
    // A few lines: totals, then each calendar with something to say.
    std::string Summary() const;

private:
    std::vector<CalendarReport> calendars_;
};

}  // namespace qel2::cli::exporter
