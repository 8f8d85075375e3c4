// The decoders: the genuine 4.2 store's values against their manifest, and
// damaged values, which fail with EINVAL without reading past their end.
// (Link marks and other layouts: tests/mkstore's round trips.)

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

#include "decoded.h"
#include "manifest_fields.h"

namespace qel2::test::codec {
namespace {

// `value` decodes and no proper prefix does, but a calendar ending in a zero
// category count and its filler may lose the filler.
template <typename Record>
void ExpectEveryPrefixDamaged(const Bytes& value) {
    ASSERT_EQ(Decoded<Record>(value).result, 0);
    size_t mayEndAt = SIZE_MAX;
    if constexpr (std::is_same_v<Record, qEL2_CALPROPS>) {
        if (Decoded<Record>(value)->pCategoryList == nullptr) mayEndAt = value.size() - 1;
    }
    for (size_t size = 0; size < value.size(); ++size) {
        Decoded<Record> cut(value, size);
        EXPECT_TRUE(cut.result == EINVAL || (cut.result == 0 && size == mayEndAt))
            << "cut to " << size << ": " << cut.result;
    }
}

template <typename Record>
void ExpectManifestFields(const char* section) {
    ASSERT_FALSE(Legacy42Manifest().at(section).empty());
    for (const nlohmann::json& stored : Legacy42Manifest().at(section)) {
        SCOPED_TRACE(RecordName(stored));
        Decoded<Record> decoded(StoredValue(stored));
        ASSERT_EQ(decoded.result, 0);
        nlohmann::json expected = stored.at("fields");
        if (expected.contains("RecurrenceID")) expected["RecurrenceID"] = 0;  // from the key
        const ManifestFields actual = FieldsOf(*decoded.owned);
        EXPECT_EQ(actual.fields, expected);
        if (stored.contains("flags_decoded")) {
            EXPECT_EQ(actual.bits, stored.at("flags_decoded"));
        }
        ExpectEveryPrefixDamaged<Record>(StoredValue(stored));
    }
}

TEST(LegacyStoreValues, EveryValueDecodesToItsManifestFieldsAndNoTruncationDoes) {
    ExpectManifestFields<qEL2_VEVENT>("events");
    ExpectManifestFields<qEL2_VTODO>("todos");
    ExpectManifestFields<qEL2_CALPROPS>("calendars");
}

// The smallest values are zero bytes (every word and count 0, every string
// absent); alarm count at 52 in an event, at 60 in a to-do, and so on.
const Bytes kAlarm(38, 0), kCalendar(35, 0), kEvent(112, 0), kToDo(105, 0);

TEST(DamagedValue, EveryTruncationOfASmallestValueFails) {
    ExpectEveryPrefixDamaged<qEL2_VALARM>(kAlarm);
    ExpectEveryPrefixDamaged<qEL2_CALPROPS>(kCalendar);
    ExpectEveryPrefixDamaged<qEL2_VEVENT>(kEvent);
    ExpectEveryPrefixDamaged<qEL2_VTODO>(kToDo);
}

// Overwrites the word at `offset` of a copy of `value`.
Bytes WithWord(Bytes value, size_t offset, uint32_t word) {
    const Bytes stored = Words({word});
    std::copy(stored.begin(), stored.end(), value.begin() + static_cast<ptrdiff_t>(offset));
    return value;
}

// A to-do holding one alarm, its count after 11 words, the organizer byte,
// the attendee count and 11 strings.
Bytes ToDoWithAlarm(const Bytes& alarm) {
    return Joined({Bytes(60, 0), Words({1}), alarm, Bytes(40, 0)});
}

TEST(DamagedValue, CountsBeyondTheValueFailAtOnce) {
    ASSERT_EQ(Decoded<qEL2_VTODO>(ToDoWithAlarm(kAlarm))->pAlarms->count, 1u);
    // A list sized by its count before the count is checked would answer 12.
    for (uint32_t huge : {0xFFFFFFFFu, 0x80000000u, 0x0AAAAAABu, 0x00010000u}) {
        SCOPED_TRACE(huge);
        // An event's attendee count, alarm count and last list count.
        for (size_t offset : {37u, 52u, 107u})
            EXPECT_EQ(Decoded<qEL2_VEVENT>(WithWord(kEvent, offset, huge)).result, EINVAL);
        EXPECT_EQ(Decoded<qEL2_CALPROPS>(WithWord(kCalendar, 31, huge)).result, EINVAL);
        EXPECT_EQ(Decoded<qEL2_VALARM>(WithWord(kAlarm, 23, huge)).result, EINVAL);
        // An embedded alarm's bad count (its last list's) fails the to-do too.
        EXPECT_EQ(Decoded<qEL2_VTODO>(ToDoWithAlarm(WithWord(kAlarm, 33, huge))).result, EINVAL);
    }
}

// The genuine store's to-dos hold 0 in three of their eleven words.
TEST(ToDoValue, ElevenWordsInStoredOrderNotFieldOrder) {
    // Then the rest of the smallest to-do.
    Decoded<qEL2_VTODO> t(
        Joined({Words({1, 2, 3, 4, 5, 6, 7, 0xFFFFFFFE, 9, 10, 11}), Bytes(61, 0)}));
    ASSERT_EQ(t.result, 0);
    EXPECT_EQ((std::vector<int64_t>{t->dtStart, t->dtDue, t->dtCompleted, t->lExtra, t->dtModified,
                                    t->dtCreated, t->iSequence, t->lExtra2, t->lGeoLat, t->lGeoLon,
                                    t->flags}),
              (std::vector<int64_t>{1, 2, 3, 4, 5, 6, 7, -2, 9, 10, 11}));
}

}  // namespace
}  // namespace qel2::test::codec
