// export STORE DIR: the calendars as iCalendar files, with calendars.json
// (what each calendar is) and report.json (what the export changed).

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

#include "calendar_json.h"
#include "cli_error.h"
#include "commands.h"
#include "export/calendar_resources.h"
#include "export/file_names.h"
#include "export/migration_report.h"
#include "export/safe_file.h"
#include "progress.h"
#include "store_reads.h"

namespace qel2::cli {

namespace {

namespace fs = std::filesystem;
using namespace qel2::cli::exporter;

constexpr const char* kReportFile = "report.json";
constexpr const char* kCalendarsFile = "calendars.json";

struct ExportSettings {
    bool vdir = false;
    bool force = false;
    uint32_t readFlags = 0;
};

ExportSettings SettingsFromOptions(const Arguments& arguments) {
    ExportSettings settings;
    const std::string layout = arguments.value("--layout").value_or("file");
    if (layout != "file" && layout != "vdir")
        throw UsageError("--layout takes file or vdir, not \"" + layout + "\"");
    settings.vdir = layout == "vdir";
    settings.force = arguments.has("--force");
    settings.readFlags = ReadFlagsFromOptions(arguments);
    return settings;
}

// One calendar into one .ics file: the calendar's lines, then every
// resource's components as they come.
void WriteCalendarFile(const Folder& root, const std::string& name, qEL2_CALPROPS& calendar,
                       const ExportSettings& settings, CalendarReport& report) {
    SafeFile file(root, name, settings.force);
    file.Write(CalendarHeader(calendar));
    StreamCalendarResources(
        calendar, settings.readFlags, report,
        [&](const CalendarResource& resource) { file.Write(resource.components()); });
    file.Write(kCalendarEnd);
    file.Commit(true);
}

// One calendar into a folder of one .ics file per UID.
void WriteCalendarFolder(const Folder& root, const std::string& name, qEL2_CALPROPS& calendar,
                         const ExportSettings& settings, CalendarReport& report) {
    Folder folder(root, name);
    StreamCalendarResources(calendar, settings.readFlags, report,
                            [&](const CalendarResource& resource) {
                                SafeFile file(folder, resource.fileName, settings.force);
                                file.Write(resource.text);
                                file.Commit(false);
                            });
}

// Calendars are independent, and the store's handles serve several threads
// at once: up to two calendars are written at the same time, which is what
// the machines this runs on have to spare.
void ForEachInParallel(size_t count, const std::function<void(size_t)>& work) {
    std::atomic<size_t> next = 0;
    const auto worker = [&] {
        for (size_t i = next++; i < count; i = next++) work(i);
    };
    const unsigned threads =
        std::min<unsigned>(2, std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::jthread> helpers;
    for (unsigned t = 1; t < threads && t < count; ++t) helpers.emplace_back(worker);
    worker();
}

int Export(const Arguments& arguments) {
    const ExportSettings settings = SettingsFromOptions(arguments);
    const fs::path directory = arguments.operands.at(0);
    StoreSession store(arguments.store);
    std::error_code error;
    fs::create_directories(directory, error);
    if (!fs::is_directory(directory))
        throw CliError("cannot create the folder " + directory.string());
    Folder root(directory.string());
    // The two summary files are checked first, so a folder of an earlier
    // export is refused before any work.
    for (const char* name : {kReportFile, kCalendarsFile})
        if (!settings.force && root.Has(name))
            throw CliError(root.path() + "/" + name +
                           " exists; use --force to replace the files of an earlier export");

    qel2::CalPropsListPtr calendars = ReadAllCalendars(store);
    std::vector<qEL2_CALPROPS*> sorted = SortedById(calendars.get());
    std::vector<std::string> names;
    std::vector<CalendarReport> reports;
    for (const qEL2_CALPROPS* calendar : sorted) {
        names.push_back(SafeFileName(calendar->pRelativeCalID ? calendar->pRelativeCalID : "",
                                     settings.vdir ? "" : ".ics"));
        reports.emplace_back(CalendarJson(*calendar)["id"].get<std::string>());
    }
    Progress progress("export", sorted.size());
    ForEachInParallel(sorted.size(), [&](size_t i) {
        progress.Show(i, reports[i].calendarId());
        try {
            if (settings.vdir)
                WriteCalendarFolder(root, names[i], *sorted[i], settings, reports[i]);
            else
                WriteCalendarFile(root, names[i], *sorted[i], settings, reports[i]);
        } catch (const std::exception& failure) {
            // One calendar that cannot be written does not stop the others.
            reports[i].Fail(failure.what());
        }
    });
    MigrationReport report;
    nlohmann::json metadata = nlohmann::json::array();
    for (size_t i = 0; i < sorted.size(); ++i) {
        nlohmann::json entry = CalendarJson(*sorted[i]);
        entry[settings.vdir ? "folder" : "file"] = names[i];
        metadata.push_back(std::move(entry));
        report.Add(std::move(reports[i]));
    }
    WriteWholeFile(root, kCalendarsFile, metadata.dump(2) + "\n", settings.force);
    WriteWholeFile(root, kReportFile, report.ToJson().dump(2) + "\n", settings.force);

    const nlohmann::json totals = report.ToJson();
    std::fprintf(stderr, "%s", report.Summary().c_str());
    std::printf("exported %zu calendars, %s events and %s to-dos to %s\n", sorted.size(),
                totals["events"].dump().c_str(), totals["todos"].dump().c_str(), directory.c_str());
    if (report.incomplete()) {
        std::fprintf(stderr, "qel2caldb: export incomplete: see %s/%s\n", root.path().c_str(),
                     kReportFile);
        return 1;
    }
    return 0;
}

}  // namespace

const Command kExportCommand = {
    "export",
    "export STORE DIR [--layout file|vdir] [--force] [--tombstones]",
    "write the calendars as iCalendar (.ics) files into DIR",
    "--layout file (the default) writes one DIR/<id>.ics per calendar; --layout vdir\n"
    "a folder DIR/<id>/ per calendar with one <uid>.ics per event or to-do and its\n"
    "instances, as vdirsyncer, khal and a CalDAV upload read them. Characters\n"
    "other than letters, digits and -_.@ in a name are written %XX, and a name too\n"
    "long for the file system is cut and ended by a digest; the real id is in the\n"
    "file. Events another calendar keeps and this one links to are written here.\n"
    "Values iCalendar has no property for, or that do not fit their property, are\n"
    "kept as X-QEL2-* properties; text is converted to UTF-8 from its charset.\n"
    "DIR/calendars.json describes each calendar (name, description, owners,\n"
    "access, parent and children); DIR/report.json lists every record that was\n"
    "changed, repaired or left out, and why. Existing files are left untouched\n"
    "unless --force. Deleted records are left out unless --tombstones (they then\n"
    "carry X-QEL2-TOMBSTONE:1). Exit status 1 when a record was left out or a\n"
    "calendar could not be written.\n",
    {"--layout"},
    {"--tombstones", "--force"},
    2,
    2,
    Export,
};

}  // namespace qel2::cli
