// info STORE: version, file sizes and record counts.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>

#include <nlohmann/json.hpp>

#include <qel2/store_internal.h>

#include "cli_error.h"
#include "commands.h"
#include "json_text.h"
#include "store_session.h"
#include "utf8_text.h"

namespace qel2::cli {

namespace {

constexpr uint32_t kAllStatistics =
    qEL2_STATS_FILE_SIZE | qEL2_STATS_CALPROPS | qEL2_STATS_EVENTS | qEL2_STATS_TODOS;
constexpr uint32_t kVersionBuffer = 512;

// Berkeley DB's own record count of a database: a traversal of the tree
// through its internal pages, independent of the leaf-to-leaf walk the
// statistics take. The handle is read-only, so the count is not written
// back into the meta page.
uint32_t TreeCount(DB* db, const std::string& file) {
    DB_BTREE_STAT* stat = nullptr;
    if (int result = db->stat(db, nullptr, &stat, 0))
        throw CliError("cannot count the records of " + file + ": " + db_strerror(result));
    uint32_t count = stat->bt_ndata;
    free(stat);
    return count;
}

int Info(const Arguments& arguments) {
    StoreSession store(arguments.store);
    char version[kVersionBuffer] = {};
    if (int result = store.db().GetDBVersion(version, sizeof version))
        throw CliError("cannot read the version of " + store.directory() + ": " +
                       ResultText(result));
    qEL2_DB_STATISTICS stats = {};
    if (int result = store.db().GetStats(&stats, kAllStatistics))
        throw CliError("cannot count the records of " + store.directory() + ": " +
                       ResultText(result));

    const struct {
        const char* file;
        uint32_t records;
        DB* db;
    } databases[] = {{qel2_asDBFiles[qEL2_FILE_EVENTS], stats.nEvents, gCalDB.pEventDB},
                     {qel2_asDBFiles[qEL2_FILE_TODOS], stats.nToDos, gCalDB.pToDoDB},
                     {qel2_asDBFiles[qEL2_FILE_CALPROPS], stats.nCalProps, gCalDB.pCalPropsDB},
                     {qel2_asDBFiles[qEL2_FILE_ALARMS], stats.nAlarms, gCalDB.pAlarmDB}};
    // A walk that ended early counts fewer records and, for calprops.db and
    // alarms.db, says nothing: the tree's own count tells.
    for (const auto& database : databases) {
        std::string file = (std::filesystem::path(store.directory()) / database.file).string();
        store.Reading(database.file);
        uint32_t inTree = TreeCount(database.db, file);
        if (inTree != database.records)
            throw CliError(file + " is damaged: walking it gives " +
                           std::to_string(database.records) + " records, its tree holds " +
                           std::to_string(inTree) + " (\"qel2caldb verify\" names what is wrong)");
    }

    // The library's statistics count in 32 bits, which wrap at 4 GiB; the
    // sizes shown come from the files themselves, in 64 bits.
    uintmax_t sizes[std::size(databases)] = {};
    uintmax_t total = 0;
    for (size_t i = 0; i < std::size(databases); ++i)
        total += sizes[i] = std::filesystem::file_size(std::filesystem::path(store.directory()) /
                                                       databases[i].file);

    if (arguments.has("--json")) {
        JsonText text;
        nlohmann::json json = {{"store", text.Plain("store", store.directory())},
                               {"version", text("version", version)},
                               {"total_file_size", total},
                               {"databases", nlohmann::json::object()}};
        for (size_t i = 0; i < std::size(databases); ++i)
            json["databases"][databases[i].file] = {{"file_size", sizes[i]},
                                                    {"records", databases[i].records}};
        text.Mark(json);
        std::printf("%s\n", json.dump(2).c_str());
        return 0;
    }
    std::printf("store        %s\nversion      %s\n",
                qel2::tools::TerminalText(store.label()).c_str(),
                qel2::tools::TerminalText(version).c_str());
    for (size_t i = 0; i < std::size(databases); ++i)
        std::printf("%-12s %10ju bytes %10u records\n", databases[i].file, sizes[i],
                    databases[i].records);
    std::printf("%-12s %10ju bytes\n", "total", total);
    return 0;
}

}  // namespace

const Command kInfoCommand = {
    "info",
    "info STORE [--json]",
    "show the store version, the size of each database file and its record count",
    "The counts are of stored records: deleted (tombstoned) events and to-dos and\n"
    "link records count too. --json prints the same as one JSON object.\n",
    {},
    {"--json"},
    1,
    1,
    Info,
};

}  // namespace qel2::cli
