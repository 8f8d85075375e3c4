// The encoder against real data: every record of the genuine store,
// encoded from its decoded fields, gives the stored key and value bytes.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "store_description.h"
#include "store_walk.h"
#include "support/legacy42_manifest.h"

namespace {

using nlohmann::json;

void ExpectPlanMatchesStoredBytes(const json& description) {
    std::vector<mkstore_test::HexRecord> planned;
    for (const qel2mk::PlannedRecord& record : qel2mk::PlanStore(description).records) {
        planned.push_back(mkstore_test::ToHex(record.key, record.value));
    }
    EXPECT_EQ(planned, mkstore_test::ManifestRecords());
}

TEST(EncoderOnGenuineStore, ReproducesEveryKeyAndValueFromTheDecodedFields) {
    const json& manifest = qel2test::Legacy42Manifest();
    ASSERT_EQ(manifest["events"].size(), 10u);
    ASSERT_EQ(manifest["todos"].size(), 5u);
    ExpectPlanMatchesStoredBytes(manifest);
}

TEST(EncoderOnGenuineStore, FlagWordsGivenAsNamedBitsEncodeTheSameBytes) {
    const json& manifest = qel2test::Legacy42Manifest();
    json description = manifest;
    for (json& calendar : description["calendars"]) calendar["fields"].erase("accessFlags");
    for (const char* section : {"events", "todos"}) {
        for (json& record : description[section]) {
            // As an object in place of the word, and beside the fields.
            record["fields"]["flags"] = record["flags_decoded"];
            if (record["uid"] == "evt-standup") record["fields"].erase("flags");
        }
    }
    ExpectPlanMatchesStoredBytes(description);
}

}  // namespace
