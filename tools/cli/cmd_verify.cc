// verify STORE: reads every record of the four databases and decodes every
// value, naming each damaged record by database and key.

#include <cstdio>
#include <filesystem>
#include <new>
#include <vector>

#include <nlohmann/json.hpp>

#include <qel2/bdb_holders.h>
#include <qel2/codec.h>
#include <qel2/keys.h>
#include <qel2/owned.h>
#include <qel2/store_internal.h>

#include "cli_error.h"
#include "commands.h"
#include "hex.h"
#include "json_text.h"
#include "progress.h"
#include "store_session.h"
#include "structure_check.h"

namespace qel2::cli {

namespace {

constexpr size_t kProgressEvery = 1u << 16;

// Decodes one value the way the library's readers do; 0 when it decodes.
using Decode = int (*)(const unsigned char* value, uint32_t size);

int DecodeCalProps(const unsigned char* value, uint32_t size) {
    qel2::CalPropsPtr calprops = qel2::NewCalProps();
    if (!calprops) throw std::bad_alloc();
    return qel2_pvt_DeserializeCalProps(calprops.get(), value, size);
}

int DecodeEvent(const unsigned char* value, uint32_t size) {
    qel2::EventPtr event(qel2_NewEvent());
    if (!event) throw std::bad_alloc();
    return qel2_pvt_DeserializeEvent(event.get(), value, size);
}

int DecodeToDo(const unsigned char* value, uint32_t size) {
    qel2::ToDoPtr todo(qel2_NewToDo());
    if (!todo) throw std::bad_alloc();
    return qel2_pvt_DeserializeToDo(todo.get(), value, size);
}

struct Database {
    const char* file;
    DB* db;
    uint32_t keySize;
    Decode decode;  // null: the values are opaque (alarms.db), only keys are checked
};

struct Damage {
    std::string database;
    std::string key;  // hex
    std::string problem;
};

struct Totals {
    uint64_t records = 0;
    uint64_t damaged = 0;
    std::string structure;  // what Berkeley DB's structural check found; "" when sound
};

// One cursor walk over a database; damage goes to `found` (and to standard
// output at once unless JSON is wanted, so a long run shows it early).
Totals Walk(const Database& database, bool printNow, std::vector<Damage>& found, Progress& progress,
            uint64_t& seen) {
    qel2::Cursor cursor;
    if (int result = cursor.open(database.db))
        throw CliError(std::string("cannot walk ") + database.file + ": " + db_strerror(result));
    std::vector<unsigned char> keyBuffer(64);
    qel2::MallocValue value;
    Totals totals;
    auto report = [&](const DBT& key, std::string problem) {
        ++totals.damaged;
        std::string hexKey =
            qel2::tools::ToHex(static_cast<const unsigned char*>(key.data), key.size);
        Damage damage{database.file, std::move(hexKey), std::move(problem)};
        if (printNow)
            std::printf("damaged: %s key %s: %s\n", damage.database.c_str(), damage.key.c_str(),
                        damage.problem.c_str());
        found.push_back(std::move(damage));
    };
    for (;;) {
        DBT key = {};
        qel2::UserKey(key, keyBuffer.data(), 0, static_cast<uint32_t>(keyBuffer.size()));
        value.release();
        int result = cursor.read(&key, value.get());
        if (result == DB_BUFFER_SMALL && key.size > keyBuffer.size()) {
            keyBuffer.resize(key.size);
            continue;  // the cursor has not moved; the same record comes again
        }
        if (result == DB_NOTFOUND) break;
        if (result != 0)
            throw CliError(std::string("reading ") + database.file + " stopped after " +
                           std::to_string(totals.records) + " records: " + db_strerror(result));
        ++totals.records;
        if (++seen % kProgressEvery == 0) progress.Show(seen, database.file);
        if (key.size != database.keySize) {
            report(key, "key of " + std::to_string(key.size) + " bytes, expected " +
                            std::to_string(database.keySize));
            continue;
        }
        if (database.decode == nullptr) continue;
        if (int decoded = database.decode(value.data(), value.size()))
            report(key, "value of " + std::to_string(value.size()) +
                            " bytes does not decode (result " + std::to_string(decoded) + ")");
    }
    return totals;
}

int Verify(const Arguments& arguments) {
    bool json = arguments.has("--json");
    // Each database's structure is checked on its own, so one damaged file
    // does not hide another; only sound ones are walked.
    StoreSession store(arguments.store, StoreSession::Checks::FilesOnly);
    const Database databases[] = {
        {qel2_asDBFiles[qEL2_FILE_CALPROPS], gCalDB.pCalPropsDB, qEL2_CALPROPS_KEY_SIZE,
         DecodeCalProps},
        {qel2_asDBFiles[qEL2_FILE_EVENTS], gCalDB.pEventDB, qEL2_EVENT_KEY_SIZE, DecodeEvent},
        {qel2_asDBFiles[qEL2_FILE_TODOS], gCalDB.pToDoDB, qEL2_TODO_KEY_SIZE, DecodeToDo},
        {qel2_asDBFiles[qEL2_FILE_ALARMS], gCalDB.pAlarmDB, qEL2_ALARM_KEY_SIZE, nullptr},
    };
    std::vector<Damage> found;
    Totals all;
    uint64_t damagedStructures = 0;
    std::vector<std::pair<const char*, Totals>> results;
    {
        Progress progress("verify", 0);
        uint64_t seen = 0;
        for (const Database& database : databases) {
            store.Reading(database.file);
            StructureFindings structure =
                CheckStructure(std::filesystem::path(store.directory()) / database.file);
            Totals totals;
            if (structure.sound) {
                totals = Walk(database, !json, found, progress, seen);
            } else {
                ++damagedStructures;
                totals.structure = structure.findings;
                if (!json)
                    std::printf("damaged: %s: Berkeley DB's structural check: %s\n", database.file,
                                structure.findings.c_str());
            }
            all.records += totals.records;
            all.damaged += totals.damaged;
            results.emplace_back(database.file, totals);
        }
    }
    if (json) {
        JsonText text;
        nlohmann::json out = {{"store", text.Plain("store", store.directory())},
                              {"records", all.records},
                              {"damaged", all.damaged},
                              {"damaged_databases", damagedStructures}};
        text.Mark(out);
        for (const auto& [file, totals] : results)
            out["databases"][file] = {
                {"records", totals.records},
                {"damaged", totals.damaged},
                {"structure", totals.structure.empty() ? "sound" : totals.structure}};
        out["damaged_records"] = nlohmann::json::array();
        for (const Damage& damage : found)
            out["damaged_records"].push_back(
                {{"database", damage.database}, {"key", damage.key}, {"problem", damage.problem}});
        std::printf("%s\n", out.dump(2).c_str());
    } else {
        for (const auto& [file, totals] : results) {
            if (totals.structure.empty())
                std::printf("%-12s %10ju records %6ju damaged\n", file,
                            static_cast<uintmax_t>(totals.records),
                            static_cast<uintmax_t>(totals.damaged));
            else
                std::printf("%-12s damaged structure, records not read\n", file);
        }
        bool damaged = all.damaged || damagedStructures;
        std::printf("%s: %ju records, %ju damaged", damaged ? "DAMAGED" : "OK",
                    static_cast<uintmax_t>(all.records), static_cast<uintmax_t>(all.damaged));
        if (damagedStructures)
            std::printf(", %ju database%s with a damaged structure",
                        static_cast<uintmax_t>(damagedStructures),
                        damagedStructures == 1 ? "" : "s");
        std::printf("\n");
    }
    return all.damaged || damagedStructures ? kExitFailure : 0;
}

}  // namespace

const Command kVerifyCommand = {
    "verify",
    "verify STORE [--json]",
    "check each database's structure, decode every record; name the damage; exit 1 if any",
    "Each database first passes Berkeley DB's structural check (DB->verify with the\n"
    "store's key order); a database that fails it is named with what the check found\n"
    "and its records are not read. Every value of calprops.db, events.db and todos.db is decoded "
    "as the library\n"
    "decodes it; alarms.db values are the server's own, so only their keys are\n"
    "checked. A damaged record is named by database and key (hex), e.g.\n"
    "  damaged: events.db key 1b10...: value of 57 bytes does not decode (result 22)\n"
    "Exit status 0 when every record decodes, 1 when any is damaged.\n",
    {},
    {"--json"},
    1,
    1,
    Verify,
};

}  // namespace qel2::cli
