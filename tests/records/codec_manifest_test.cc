// Decoded values against what they hold: every calendar, event and to-do
// value of the genuine 4.2 store against exactly the fields its manifest
// lists (no more, no fewer), each flag word split by the library's bit
// masks as the manifest splits it; and the to-do words the genuine store
// cannot tell apart. (Link marks, alarms back to back and empty list
// elements: the random round trips of tests/mkstore.)

#include <gtest/gtest.h>

#include <vector>

#include "decoded.h"
#include "manifest_fields.h"

namespace qel2::test::codec {
namespace {

template <typename Record>
void ExpectManifestFields(const char* section) {
    ASSERT_FALSE(Legacy42Manifest().at(section).empty());
    for (const nlohmann::json& stored : Legacy42Manifest().at(section)) {
        SCOPED_TRACE(RecordName(stored));
        Decoded<Record> decoded(StoredValue(stored));
        ASSERT_EQ(decoded.result, 0);
        nlohmann::json expected = stored.at("fields");
        // A read takes the recurrence id from the key.
        if (expected.contains("RecurrenceID")) expected["RecurrenceID"] = 0;
        const ManifestFields actual = FieldsOf(*decoded.owned);
        EXPECT_EQ(actual.fields, expected);
        if (stored.contains("flags_decoded")) {
            EXPECT_EQ(actual.bits, stored.at("flags_decoded"));
        }
    }
}

TEST(LegacyStoreValues, EveryValueDecodesToItsManifestFields) {
    ExpectManifestFields<qEL2_VEVENT>("events");
    ExpectManifestFields<qEL2_VTODO>("todos");
    ExpectManifestFields<qEL2_CALPROPS>("calendars");
}

// The genuine store's to-dos hold 0 in three of their eleven words.
TEST(ToDoValue, ElevenWordsInStoredOrderNotFieldOrder) {
    ValueBuilder value;
    for (uint32_t w : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 0xFFFFFFFEu, 9u, 10u, 11u}) value.word(w);
    Decoded<qEL2_VTODO> t(value.zeros(61).bytes);  // the rest of the smallest to-do
    ASSERT_EQ(t.result, 0);
    EXPECT_EQ((std::vector<int64_t>{t->dtStart, t->dtDue, t->dtCompleted, t->lExtra, t->dtModified,
                                    t->dtCreated, t->iSequence, t->lExtra2, t->lGeoLat, t->lGeoLon,
                                    t->flags}),
              (std::vector<int64_t>{1, 2, 3, 4, 5, 6, 7, -2, 9, 10, 11}));
}

}  // namespace
}  // namespace qel2::test::codec
