// push STORE URL: every calendar into its own collection on a CalDAV
// server, one resource per UID.

#include <fnmatch.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "calendar_json.h"
#include "export/migration_report.h"
#include "cli_error.h"
#include "commands.h"
#include "progress.h"
#include "push/calendar_push.h"
#include "push/push_report.h"
#include "push/server_home.h"
#include "store_reads.h"

namespace qel2::cli {

namespace {

using namespace qel2::cli::push;

constexpr const char* kPasswordVariable = "QEL2_PASSWORD";

// The password comes from a file or the environment, never from the
// command line, where other users of the machine could read it.
std::string Password(const Arguments& arguments) {
    if (std::optional<std::string> path = arguments.value("--password-file")) {
        std::ifstream file(*path, std::ios::binary);
        if (!file) throw CliError("cannot read the password file " + *path);
        std::string password;
        std::getline(file, password);
        if (!password.empty() && password.back() == '\r') password.pop_back();
        return password;
    }
    if (const char* password = std::getenv(kPasswordVariable)) return password;
    throw UsageError(std::string("--user needs the password in --password-file FILE or $") +
                     kPasswordVariable);
}

HttpOptions HttpOptionsFrom(const Arguments& arguments) {
    HttpOptions options;
    if ((options.user = arguments.value("--user"))) options.password = Password(arguments);
    options.caFile = arguments.value("--ca");
    options.timeoutSeconds =
        ParseNumber("--timeout", arguments.value("--timeout").value_or("120"), 1, 86400);
    options.connectTimeoutSeconds = std::min<long>(options.timeoutSeconds, 15);
    options.retries = static_cast<int>(
        ParseNumber("--retries", arguments.value("--retries").value_or("3"), 0, 10));
    return options;
}

// --calendar ID (each must exist) and --match PATTERN together choose;
// neither: every calendar.
std::vector<qEL2_CALPROPS*> Chosen(const std::vector<qEL2_CALPROPS*>& calendars,
                                   const Arguments& arguments, const std::string& store) {
    auto named = arguments.allValues.find("--calendar");
    std::set<std::string> ids;
    if (named != arguments.allValues.end()) ids.insert(named->second.begin(), named->second.end());
    std::optional<std::string> pattern = arguments.value("--match");
    if (ids.empty() && !pattern) return calendars;
    std::vector<qEL2_CALPROPS*> chosen;
    std::set<std::string> found;
    for (qEL2_CALPROPS* calendar : calendars) {
        std::string id = calendar->pRelativeCalID ? calendar->pRelativeCalID : "";
        bool matches = pattern && fnmatch(pattern->c_str(), id.c_str(), 0) == 0;
        if (ids.contains(id) || matches) chosen.push_back(calendar);
        if (ids.contains(id)) found.insert(id);
    }
    for (const std::string& id : ids)
        if (!found.contains(id)) throw CliError("no calendar \"" + id + "\" in " + store);
    return chosen;
}

// From the calendar's properties as JSON, where they are UTF-8 already.
CalendarTarget TargetOf(const nlohmann::json& metadata) {
    auto text = [&](const char* key) {
        return metadata[key].is_string() ? metadata[key].get<std::string>() : "";
    };
    std::string name = text("name");
    return {text("id"), name.empty() ? text("id") : name, text("description")};
}

void PrintOutcome(const CalendarOutcome& outcome, bool dryRun) {
    if (dryRun)
        std::printf(
            "%s -> %s (%s): %zu resources to send, %zu to update, %zu already there (%zu "
            "records)\n",
            outcome.id.c_str(), outcome.url.c_str(), outcome.collectionState.c_str(), outcome.sent,
            outcome.updated, outcome.alreadyThere, outcome.records);
    else
        std::printf("%s -> %s (%s): %zu sent, %zu updated, %zu already there, %zu refused\n",
                    outcome.id.c_str(), outcome.url.c_str(), outcome.collectionState.c_str(),
                    outcome.sent, outcome.updated, outcome.alreadyThere, outcome.refused);
}

int Push(const Arguments& arguments) {
    PushSettings settings;
    settings.baseUrl = HomeUrl(arguments.operands.at(0));
    settings.update = arguments.has("--update");
    settings.dryRun = arguments.has("--dry-run");
    settings.jobs = ParseNumber("--jobs", arguments.value("--jobs").value_or("4"), 1, 64);
    HttpOptions options = HttpOptionsFrom(arguments);
    std::optional<std::string> reportPath = arguments.value("--report");

    StoreSession store(arguments.store);
    qel2::CalPropsListPtr all = ReadAllCalendars(store);
    std::vector<qEL2_CALPROPS*> calendars = Chosen(SortedById(all.get()), arguments, store.label());

    HttpClient http(options);
    CheckHome(http, settings.baseUrl, options.user.value_or(""));

    PushReport report;
    report.url = settings.baseUrl;
    report.dryRun = settings.dryRun;
    Progress progress("push", calendars.size());
    CalendarPush push(http, settings, report.refusals, [&](const CalendarOutcome& outcome) {
        progress.Show(report.calendars.size(),
                      outcome.id + ": " + std::to_string(outcome.sent + outcome.updated) +
                          " sent, " + std::to_string(outcome.refused) + " refused");
    });
    for (qEL2_CALPROPS* calendar : calendars) {
        nlohmann::json metadata = CalendarJson(*calendar);
        CalendarTarget target = TargetOf(metadata);
        progress.Show(report.calendars.size(), target.id);
        qel2::cli::exporter::CalendarReport exported(target.id);
        report.calendars.push_back(
            push.Push(target, [&](const qel2::cli::exporter::ResourceSink& sink) {
                try {
                    qel2::cli::exporter::StreamCalendarResources(*calendar, 0, exported, sink);
                } catch (const CliError& failure) {
                    // The calendar's other resources, and the other calendars, still go.
                    exported.Fail(failure.what());
                }
            }));
        report.metadata.push_back(std::move(metadata));
        report.exported.Add(std::move(exported));
        PrintOutcome(report.calendars.back(), settings.dryRun);
    }

    nlohmann::json json = ReportJson(report);
    if (reportPath) WriteReport(*reportPath, json);
    const nlohmann::json& totals = json["totals"];
    auto count = [&](const char* name) { return totals[name].get<size_t>(); };
    if (settings.dryRun)
        std::printf(
            "checked %zu calendars for %s: %zu resources to send, %zu to update, %zu already "
            "there\n",
            calendars.size(), settings.baseUrl.c_str(), count("sent"), count("updated"),
            count("already_there"));
    else
        std::printf(
            "pushed %zu calendars to %s: %zu resources sent, %zu updated, %zu already there, %zu "
            "refused\n",
            calendars.size(), settings.baseUrl.c_str(), count("sent"), count("updated"),
            count("already_there"), count("refused"));
    std::fflush(stdout);
    // What the export changed on the way, when it changed anything.
    const nlohmann::json exported = report.exported.ToJson();
    if (exported["changed"] != 0 || exported["repaired"] != 0 || !exported["complete"].get<bool>())
        std::fprintf(stderr, "%s", report.exported.Summary().c_str());
    if (report.refusals.empty() && !report.exported.incomplete()) return 0;
    std::string where = reportPath ? "see " + *reportPath : "--report FILE lists them";
    if (!report.refusals.empty())
        std::fprintf(
            stderr,
            "qel2caldb: the server refused %zu requests; %zu records did not reach it (%s)\n",
            report.refusals.size(), count("refused_records"), where.c_str());
    if (report.exported.incomplete())
        std::fprintf(stderr, "qel2caldb: the export left records out (%s)\n", where.c_str());
    return kExitFailure;
}

}  // namespace

const Command kPushCommand = {
    "push",
    "push [STORE] URL [--calendar ID]... [--match PATTERN] [--user NAME --password-file FILE] "
    "[--ca FILE]\n"
    "       [--update] [--dry-run] [--report FILE] [--jobs N] [--timeout SECONDS] [--retries N]",
    "upload the calendars into a CalDAV server, one collection per calendar",
    "URL is the folder on the server that is to hold the calendars (on Radicale the\n"
    "user's home, http://host:5232/USER/). Each calendar becomes the collection\n"
    "URL/<name>/, made with MKCALENDAR and the calendar's name and description, or\n"
    "reused when it is already there. Names keep letters, digits and '-' of the\n"
    "calendar id and write every other byte _XX; the report maps ids to names.\n"
    "Each UID becomes one resource holding its event or to-do and the overrides.\n"
    "\n"
    "Resources already on the server are left alone, so a run after an interrupted\n"
    "one sends only what is missing; --update fetches them and replaces those whose\n"
    "content differs. --dry-run only reads from the server and prints what would\n"
    "be created and sent.\n"
    "\n"
    "  --calendar ID     push this calendar (repeatable); --match PATTERN: the ids\n"
    "                    matching a shell pattern (\"jdoe*\"); default: every calendar\n"
    "  --user NAME       log in as NAME; the password is the first line of\n"
    "                    --password-file FILE or $QEL2_PASSWORD\n"
    "  --ca FILE         trust this certificate authority (default: the system's)\n"
    "  --jobs N          requests in flight at once (default 4)\n"
    "  --timeout SECONDS for each request (default 120); --retries N after a failed\n"
    "                    connection or a 5xx answer, with growing pauses (default 3)\n"
    "  --report FILE     JSON: per-calendar counts, every refusal with the server's\n"
    "                    status and answer, owners and access levels to grant\n"
    "\n"
    "Exit status 1 when the server refused anything or the export left a record out.\n",
    {"--calendar", "--match", "--user", "--password-file", "--ca", "--jobs", "--timeout",
     "--retries", "--report"},
    {"--update", "--dry-run"},
    2,
    2,
    Push,
};

}  // namespace qel2::cli
