// Whole stores: the genuine store's records written back, read with
// Berkeley DB and checked by DB->verify; caldb.conf; the description's
// refusals and damaged values.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include <nlohmann/json.hpp>

#include "hex.h"
#include "mkstore_error.h"
#include "record_keys.h"
#include "store_description.h"
#include "store_walk.h"
#include "support/legacy42_manifest.h"
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

// Read back in each database's key order, with DB->verify on each. (The
// query tests open such stores through the library itself.)
TEST(StoreWriter, WritesTheGenuineStoreBackInTheSameKeyOrder) {
    const json& manifest = qel2test::Legacy42Manifest();
    qel2test::TempDir dir;
    Write(manifest, dir);
    std::vector<mkstore_test::HexRecord> written;
    for (Database database : {Database::CalProps, Database::Events, Database::ToDos, Database::Alarms}) {
        mkstore_test::DatabaseContents contents = mkstore_test::ReadDatabase(dir.str(), database);
        EXPECT_EQ(contents.verifyResult, 0) << qel2mk::DatabaseFile(database);
        for (const auto& [key, value] : contents.records) written.push_back(mkstore_test::ToHex(key, value));
    }
    EXPECT_EQ(written, mkstore_test::ManifestRecords());
    EXPECT_EQ(ReadFile(dir.path() / "caldb.conf"), manifest["caldb_conf"]);

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
            if (qel2tools::ToHex(key) == qel2tools::ToHex(qel2mk::Md5(id).data(), 16)) values[id] = value;
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values["a"].size(), 20u);
    EXPECT_EQ(qel2tools::ToHex(values["b"]), "00ff");
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
