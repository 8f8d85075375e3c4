// What a push did, per calendar and per refused request, and its --report
// file: every refusal with the server's status and the first lines of its
// answer, the export's repairs and omissions, per-calendar counts and
// collection names, and from each calendar's properties the owners and
// access levels the administrator should grant on the server (CalDAV has
// no place for them in a plain upload).
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "export/migration_report.h"

namespace qel2::cli::push {

// A request the server did not accept (or never answered).
struct Refusal {
    std::string calendar;
    std::string uid;  // empty for the collection itself
    std::string method;
    std::string url;
    long status = 0;     // 0: no HTTP answer
    std::string answer;  // libcurl's reason, or the first lines of the body
    size_t records = 0;  // records the refused resource held
};

struct CalendarOutcome {
    std::string id;
    std::string collection;  // the name under the push URL
    std::string url;
    // "created", "existing", "would be created" (dry run) or "refused"
    std::string collectionState;
    size_t resources = 0, records = 0;
    size_t sent = 0;          // new resources stored (or, dry run, to be sent)
    size_t updated = 0;       // replaced because their content differed (--update)
    size_t alreadyThere = 0;  // on the server before, left as they were
    size_t refused = 0;       // resources the server refused
    size_t refusedRecords = 0;
};

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
