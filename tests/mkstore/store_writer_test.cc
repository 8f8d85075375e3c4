// Whole stores: the genuine store's records written back, read with
// Berkeley DB and checked by DB->verify and db5.3_verify; caldb.conf; the
// description's refusals and damaged values.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include <nlohmann/json.hpp>

#include <qel2/store.h>

#include "hex.h"
#include "manifest.h"
#include "mkstore_error.h"
#include "record_keys.h"
#include "store_description.h"
#include "store_walk.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace {

using nlohmann::json;
using qel2mk::Database;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void Write(const json& description, const qel2test::TempDir& dir) {
    qel2mk::WriteStore(qel2mk::PlanStore(description), dir.str());
}

TEST(StoreWriter, WritesTheGenuineStoreBackInTheSameKeyOrder) {
    json manifest = mkstore_test::LoadManifest();
    qel2test::TempDir dir;
    Write(manifest, dir);

    const std::pair<Database, const char*> sections[] = {{Database::CalProps, "calendars"},
                                                         {Database::Events, "events"},
                                                         {Database::ToDos, "todos"},
                                                         {Database::Alarms, "alarms_db"}};
    for (const auto& [database, section] : sections) {
        SCOPED_TRACE(section);
        mkstore_test::DatabaseContents contents = mkstore_test::ReadDatabase(dir.str(), database);
        EXPECT_EQ(contents.verifyResult, 0);
        const json& expected = manifest[section];
        ASSERT_EQ(contents.records.size(), manifest["record_counts"][qel2mk::DatabaseFile(database)].get<size_t>());
        ASSERT_EQ(contents.records.size(), expected.size());
        // The manifest lists each database in its key order.
        for (size_t i = 0; i < expected.size(); ++i) {
            std::string key = expected[i].contains("key_md5") ? expected[i]["key_md5"] : expected[i]["key_hex"];
            EXPECT_EQ(qel2mk::ToHex(contents.records[i].first), key);
            EXPECT_EQ(qel2mk::ToHex(contents.records[i].second), expected[i]["value_hex"]);
        }
    }
    EXPECT_EQ(ReadFile(dir.path() / "caldb.conf"), manifest["caldb_conf"]);
}

// db5.3_verify cannot know the key orders and compares bytes, so the only
// problem it may report is an "out-of-order key" (alarms.db, whose leading
// value is little-endian); its summary lines are not problems.
TEST(StoreWriter, Db53VerifyFindsNothingButByteOrderComplaints) {
    qel2test::TempDir dir;
    Write(mkstore_test::LoadManifest(), dir);
    for (const char* file : {"events.db", "todos.db", "calprops.db", "alarms.db"}) {
        std::string command = "db5.3_verify -h '" + dir.str() + "' " + file + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        char buffer[1024];
        while (fgets(buffer, sizeof buffer, pipe) != nullptr) {
            std::string line = buffer;
            if (line.find("Verification of") != std::string::npos || line.find("DB_VERIFY_BAD") != std::string::npos)
                continue;
            EXPECT_NE(line.find("out-of-order key"), std::string::npos) << file << ": " << line;
        }
        pclose(pipe);
    }
}

// The library's own open: version check, comparisons and DB_THREAD handles.
TEST(StoreWriter, TheLibraryOpensTheStoreAndCountsItsRecords) {
    json manifest = mkstore_test::LoadManifest();
    qel2test::TempDir good, wrongVersion;
    Write(manifest, good);
    ASSERT_EQ(qel2_pvt_OpenDB(0, 0, good.str().c_str()), 0);
    qEL2_DB_STATISTICS stats{};
    EXPECT_EQ(qel2_pvt_GetStats(&stats, qEL2_STATS_CALPROPS | qEL2_STATS_EVENTS | qEL2_STATS_TODOS), 0);
    qel2_pvt_CloseDB();
    EXPECT_EQ(stats.nCalProps, manifest["record_counts"]["calprops.db"]);
    EXPECT_EQ(stats.nEvents, manifest["record_counts"]["events.db"]);
    EXPECT_EQ(stats.nToDos, manifest["record_counts"]["todos.db"]);
    EXPECT_EQ(stats.nAlarms, manifest["record_counts"]["alarms.db"]);

    Write(json{{"caldb_version", "1.0.0  [BerkeleyDB]"}}, wrongVersion);
    qel2test::LogCapture log;
    EXPECT_EQ(qel2_pvt_OpenDB(0, 0, wrongVersion.str().c_str()), 2);
    qel2_pvt_CloseDB();
    ASSERT_FALSE(log.messages().empty());
    EXPECT_EQ(log.messages().back().rfind("Failed dbversion check", 0), 0u) << log.messages().back();
}

TEST(StoreWriter, VersionTextCanBeChangedOrLeftOut) {
    qel2test::TempDir wrong, none;
    Write(json{{"caldb_version", "1.0.0"}}, wrong);
    EXPECT_EQ(ReadFile(wrong.path() / "caldb.conf"), "! store version\ncaldb.version = \"1.0.0\"\n");
    Write(json{{"caldb_version", nullptr}}, none);
    EXPECT_FALSE(std::filesystem::exists(none.path() / "caldb.conf"));
    EXPECT_TRUE(std::filesystem::exists(none.path() / "events.db"));
}

TEST(StoreWriter, PlantsDamagedValuesAsAsked) {
    json description = {{"calendars",
                         {{{"id", "a"}, {"truncate_to", 20}},
                          {{"id", "b"}, {"raw_value_hex", "00ff"}},
                          {{"id", "c"}, {"filler_byte", 0xAB}}}}};
    qel2test::TempDir dir;
    Write(description, dir);
    std::map<std::string, qel2mk::Bytes> values;  // by calendar id
    for (const auto& [key, value] : mkstore_test::ReadDatabase(dir.str(), Database::CalProps).records)
        for (const char* id : {"a", "b", "c"})
            if (qel2mk::ToHex(key) == qel2mk::ToHex(qel2mk::Md5(id).data(), 16)) values[id] = value;
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values["a"].size(), 20u);
    EXPECT_EQ(qel2mk::ToHex(values["b"]), "00ff");
    EXPECT_EQ(values["c"].back(), 0xAB);  // after the empty category list
}

void ExpectRefused(const json& description, const std::string& part) {
    qel2test::TempDir dir;
    try {
        Write(description, dir);
        ADD_FAILURE() << "accepted: " << description.dump();
    } catch (const qel2mk::MkstoreError& error) {
        EXPECT_NE(std::string(error.what()).find(part), std::string::npos) << error.what();
    }
}

TEST(StoreWriter, RefusesDescriptionsThatCannotMeanWhatTheySay) {
    ExpectRefused({{"events", {{{"calendar", "a"}, {"uid", "u"}}, {{"calendar", "a"}, {"uid", "u"}}}}},
                  "events.db already holds the key of event a/u/0");
    ExpectRefused({{"events", {{{"calendar", "a"}, {"uid", "u"}, {"fields", {{"pSumary", "x"}}}}}}},
                  "events[0] (a/u/0): field pSumary is not a stored field");
    ExpectRefused({{"todos", {{{"calendar", "a"}, {"uid", "u"}, {"fields", {{"flags", {{"Status", 64}}}}}}}}},
                  "field flags.Status is out of range (0 to 63)");
    ExpectRefused({{"events", {{{"uid", "u"}}}}}, "events[0] needs \"calendar\"");
    ExpectRefused({{"calendars", {{{"id", "a"}, {"truncate_to", 1000}}}}}, "longer than the value");
    ExpectRefused({{"calendars", {{{"id", "a"}, {"valu_hex", "00"}}}}}, "unknown entry \"valu_hex\"");
}

TEST(StoreWriter, RefusesADirectoryThatAlreadyHoldsFiles) {
    qel2test::TempDir dir;
    dir.write("events.db", "old");
    EXPECT_THROW(qel2mk::WriteStore({}, dir.str()), qel2mk::MkstoreError);
    EXPECT_EQ(ReadFile(dir.path() / "events.db"), "old");
}

}  // namespace
