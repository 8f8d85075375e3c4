// The encoder against real data: every record of the genuine store,
// encoded from its decoded fields, gives the stored key and value bytes.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "hex.h"
#include "manifest.h"
#include "store_description.h"

namespace {

using nlohmann::json;

// The manifest's records in the order PlanStore plans them.
std::vector<json> ManifestRecords(const json& manifest) {
    std::vector<json> records;
    for (const char* section : {"calendars", "events", "todos", "alarms_db"})
        for (const json& record : manifest.at(section)) records.push_back(record);
    return records;
}

void ExpectPlanMatchesStoredBytes(const json& description, const json& manifest) {
    qel2mk::StorePlan plan = qel2mk::PlanStore(description);
    std::vector<json> expected = ManifestRecords(manifest);
    ASSERT_EQ(plan.records.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const qel2mk::PlannedRecord& record = plan.records[i];
        std::string key = expected[i].contains("key_md5") ? expected[i]["key_md5"] : expected[i]["key_hex"];
        EXPECT_EQ(qel2mk::ToHex(record.key), key) << record.what;
        EXPECT_EQ(qel2mk::ToHex(record.value), expected[i]["value_hex"]) << record.what;
    }
}

TEST(EncoderOnGenuineStore, ReproducesEveryKeyAndValueFromTheDecodedFields) {
    json manifest = mkstore_test::LoadManifest();
    ASSERT_EQ(manifest["events"].size(), 10u);
    ASSERT_EQ(manifest["todos"].size(), 5u);
    ExpectPlanMatchesStoredBytes(manifest, manifest);
}

TEST(EncoderOnGenuineStore, FlagWordsGivenAsNamedBitsEncodeTheSameBytes) {
    json manifest = mkstore_test::LoadManifest();
    json description = manifest;
    for (json& calendar : description["calendars"]) calendar["fields"].erase("accessFlags");
    for (const char* section : {"events", "todos"}) {
        for (json& record : description[section]) {
            // As an object in place of the word, and beside the fields.
            record["fields"]["flags"] = record["flags_decoded"];
            if (record["uid"] == "evt-standup") record["fields"].erase("flags");
        }
    }
    ExpectPlanMatchesStoredBytes(description, manifest);
}

}  // namespace
