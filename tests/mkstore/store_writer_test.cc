// Whole stores: the genuine store's records written back, read with
// Berkeley DB and checked by DB->verify; caldb.conf; flag words as named
// bits; the description's refusals.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "mkstore_error.h"
#include "store_description.h"
#include "store_walk.h"
#include "support/legacy42_manifest.h"
#include "support/temp_dir.h"

namespace {

using nlohmann::json;
using qel2::mkstore::Database;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void Write(const json& description, const qel2::test::TempDir& dir) {
    qel2::mkstore::WriteStore(qel2::mkstore::PlanStore(description), dir.str());
}

// Read back in each database's key order, with DB->verify on each. (The
// query tests open such stores through the library itself.)
TEST(StoreWriter, WritesTheGenuineStoreBackInTheSameKeyOrder) {
    const json& manifest = qel2::test::Legacy42Manifest();
    qel2::test::TempDir dir;
    Write(manifest, dir);
    std::vector<qel2::test::mkstore::HexRecord> written;
    for (Database database :
         {Database::CalProps, Database::Events, Database::ToDos, Database::Alarms}) {
        qel2::test::mkstore::DatabaseContents contents =
            qel2::test::mkstore::ReadDatabase(dir.str(), database);
        EXPECT_EQ(contents.verifyResult, 0) << qel2::mkstore::DatabaseFile(database);
        for (const auto& [key, value] : contents.records)
            written.push_back(qel2::test::mkstore::ToHex(key, value));
    }
    EXPECT_EQ(written, qel2::test::mkstore::ManifestRecords());
    EXPECT_EQ(ReadFile(dir.path() / "caldb.conf"), manifest["caldb_conf"]);
}

// The same records with their flag words given as named bits, encoded
// without writing a store.
TEST(StoreWriter, FlagWordsGivenAsNamedBitsEncodeTheSameBytes) {
    const json& manifest = qel2::test::Legacy42Manifest();
    json description = manifest;
    for (json& calendar : description["calendars"]) calendar["fields"].erase("accessFlags");
    for (const char* section : {"events", "todos"}) {
        for (json& record : description[section]) {
            // As an object in place of the word, and beside the fields.
            record["fields"]["flags"] = record["flags_decoded"];
            if (record["uid"] == "evt-standup") record["fields"].erase("flags");
        }
    }
    std::vector<qel2::test::mkstore::HexRecord> planned;
    for (const qel2::mkstore::PlannedRecord& record : qel2::mkstore::PlanStore(description).records)
        planned.push_back(qel2::test::mkstore::ToHex(record.key, record.value));
    EXPECT_EQ(planned, qel2::test::mkstore::ManifestRecords());
}

void ExpectRefused(const json& description, const std::string& part) {
    qel2::test::TempDir dir;
    try {
        Write(description, dir);
        ADD_FAILURE() << "accepted: " << description.dump();
    } catch (const qel2::mkstore::MkstoreError& error) {
        EXPECT_NE(std::string(error.what()).find(part), std::string::npos) << error.what();
    }
}

TEST(StoreWriter, RefusesDescriptionsThatCannotMeanWhatTheySay) {
    ExpectRefused(
        {{"events", {{{"calendar", "a"}, {"uid", "u"}}, {{"calendar", "a"}, {"uid", "u"}}}}},
        "events.db already holds the key of event a/u/0");
    ExpectRefused({{"events", {{{"calendar", "a"}, {"uid", "u"}, {"fields", {{"pSumary", "x"}}}}}}},
                  "events[0] (a/u/0): field pSumary is not a stored field");
    ExpectRefused(
        {{"todos", {{{"calendar", "a"}, {"uid", "u"}, {"fields", {{"flags", {{"Status", 64}}}}}}}}},
        "field flags.Status is out of range (0 to 63)");
    ExpectRefused({{"calendars", {{{"id", "a"}, {"valu_hex", "00"}}}}},
                  "unknown entry \"valu_hex\"");
}

TEST(StoreWriter, RefusesADirectoryThatAlreadyHoldsFiles) {
    qel2::test::TempDir dir;
    dir.write("events.db", "old");
    EXPECT_THROW(qel2::mkstore::WriteStore({}, dir.str()), qel2::mkstore::MkstoreError);
    EXPECT_EQ(ReadFile(dir.path() / "events.db"), "old");
}

}  // namespace
