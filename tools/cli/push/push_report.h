// The --report file of push: every refusal with the server's status and
// the first lines of its answer, the export's repairs and omissions, per-calendar counts and collection names,
// and from each calendar's properties the owners and access levels the
// administrator should grant on the server (CalDAV has no place for them
// in a plain upload).
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "export/migration_report.h"
#include "push_outcome.h"

namespace qel2::cli::push {

struct PushReport {
    std::string url;
    bool dryRun = false;
    std::vector<CalendarOutcome> calendars;
    std::vector<nlohmann::json> metadata;  // CalendarJson of each calendar, same order
    std::vector<Refusal> refusals;
    // What the export changed, repaired or left out on the way.
    qel2::cli::exporter::MigrationReport exported;
};

nlohmann::json ReportJson(const PushReport& report);

// Writes `json` to `path` through a temporary file renamed at the end;
// throws CliError when it cannot.
void WriteReport(const std::string& path, const nlohmann::json& json);

}  // namespace qel2::cli::push
