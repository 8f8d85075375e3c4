#include "structure_check.h"

#include <db.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include <qel2/key_order.h>
#include <qel2/keys.h>
#include <qel2/store_internal.h>

#include "child_process.h"
#include "cli_error.h"
#include "watched_command.h"

namespace qel2::cli {

namespace {

namespace fs = std::filesystem;

using KeyCompare = int (*)(DB*, const DBT*, const DBT*);

// Lines the check reports; more say nothing a person acts on.
constexpr size_t kFindingsKept = 4;
// The check reads each page about once: a megabyte a second is far below
// what it does.
constexpr double kBaseSeconds = 30;
constexpr double kBytesPerSecond = 1 << 20;

KeyCompare CompareFor(const std::string& name) {
    if (name == qel2_asDBFiles[qEL2_FILE_CALPROPS]) return CalPropsKeyCompare;
    if (name == qel2_asDBFiles[qEL2_FILE_ALARMS]) return AlarmKeyCompare;
    return EventKeyCompare;  // events.db and todos.db
}

std::vector<std::string>* gFindings = nullptr;

// Berkeley DB's closing line of a failed check says only that it failed.
constexpr const char* kVerifyFailedLine = "BDB0090";

void Collect(const DB_ENV*, const char*, const char* message) {
    if (gFindings && gFindings->size() < kFindingsKept &&
        std::strstr(message, kVerifyFailedLine) == nullptr)
        gFindings->emplace_back(message);
}

// In the child: 0 when the check passes, 1 with the findings otherwise.
int Verify(const fs::path& file, std::string& report) {
    std::vector<std::string> findings;
    gFindings = &findings;
    DB* db = nullptr;
    if (int result = db_create(&db, nullptr, 0)) {
        report = std::string("cannot create a handle: ") + db_strerror(result);
        return 1;
    }
    db->set_errcall(db, Collect);
    db->set_bt_compare(db, CompareFor(file.filename().string()));
    // DB->verify releases the handle whatever it finds.
    int result = db->verify(db, file.c_str(), nullptr, nullptr, 0);
    for (const std::string& finding : findings) report += (report.empty() ? "" : "; ") + finding;
    if (result != 0 && report.empty()) report = db_strerror(result);
    return result == 0 ? 0 : 1;
}

}  // namespace

StructureFindings CheckStructure(const fs::path& file) {
    std::error_code error;
    double seconds =
        kBaseSeconds + static_cast<double>(fs::file_size(file, error)) / kBytesPerSecond;
    if (FixedTimeLimit() > 0) seconds = std::min(seconds, FixedTimeLimit());
    NoteReading(file.string());
    ChildOutcome outcome = RunInChild([&](std::string& report) { return Verify(file, report); },
                                      [seconds] { return seconds; });
    StructureFindings result;
    switch (outcome.end) {
        case ChildOutcome::End::Exited:
            result.sound = outcome.status == 0;
            result.findings = outcome.report;
            break;
        case ChildOutcome::End::Signalled:
            result.sound = false;
            result.findings = "Berkeley DB's check was killed by " + SignalText(outcome.signal) +
                              " on a damaged page";
            break;
        case ChildOutcome::End::TimedOut:
            result.sound = false;
            result.findings = "Berkeley DB's check did not finish within " +
                              std::to_string(static_cast<int>(seconds)) +
                              " seconds (pages that lead in a circle)";
            break;
    }
    return result;
}

}  // namespace qel2::cli
