// Damaged values: every truncation and every count that runs past the end
// fail with EINVAL without reading past the value. (Allocation failures:
// tests/faults/allocation_sweep_test.cc.)

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "decoded.h"

namespace qel2::test::codec {
namespace {

// The smallest values hold every word and count 0 and every string absent,
// so they are all zero bytes: an alarm's five words, three strings and
// three empty lists; a calendar's three words, nine strings, two empty
// lists and a last count without filler; an event's nine words (a to-do's
// eleven), organizer byte, attendee count without filler, eleven strings,
// alarm count with filler and eleven empty lists (a to-do's eight).
const Bytes kAlarm(38, 0), kCalendar(35, 0), kEvent(112, 0), kToDo(105, 0);

// `value` decodes, and every proper prefix of it fails, except that a
// calendar whose value ends in a zero category count and its filler may be
// cut before the filler.
template <typename Record>
void ExpectEveryPrefixDamaged(const Bytes& value, const std::string& what) {
    ASSERT_EQ(Decoded<Record>(value).result, 0) << what;
    size_t mayEndAt = SIZE_MAX;
    if constexpr (std::is_same_v<Record, qEL2_CALPROPS>) {
        if (Decoded<Record>(value)->pCategoryList == nullptr) mayEndAt = value.size() - 1;
    }
    for (size_t size = 0; size < value.size(); ++size) {
        Decoded<Record> cut(value, size);
        EXPECT_TRUE(cut.result == EINVAL || (cut.result == 0 && size == mayEndAt))
            << what << " cut to " << size << ": " << cut.result;
    }
}

TEST(DamagedValue, EveryTruncationOfASmallestOrGenuineValueFails) {
    ExpectEveryPrefixDamaged<qEL2_VALARM>(kAlarm, "smallest alarm");
    ExpectEveryPrefixDamaged<qEL2_CALPROPS>(kCalendar, "smallest calendar");
    ExpectEveryPrefixDamaged<qEL2_VEVENT>(kEvent, "smallest event");
    ExpectEveryPrefixDamaged<qEL2_VTODO>(kToDo, "smallest to-do");
    for (const auto& e : Legacy42Manifest().at("events"))
        ExpectEveryPrefixDamaged<qEL2_VEVENT>(StoredValue(e), RecordName(e));
    for (const auto& t : Legacy42Manifest().at("todos"))
        ExpectEveryPrefixDamaged<qEL2_VTODO>(StoredValue(t), RecordName(t));
    for (const auto& c : Legacy42Manifest().at("calendars"))
        ExpectEveryPrefixDamaged<qEL2_CALPROPS>(StoredValue(c), RecordName(c));
}

// Overwrites the word at `offset` of a copy of `value`.
Bytes WithWord(Bytes value, size_t offset, uint32_t word) {
    const Bytes stored = ValueBuilder().word(word).bytes;
    std::copy(stored.begin(), stored.end(), value.begin() + static_cast<ptrdiff_t>(offset));
    return value;
}

// A to-do holding one alarm: the alarm count after eleven words, the
// organizer byte, the attendee count and eleven strings; then eight lists.
Bytes ToDoWithAlarm(const Bytes& alarm) {
    return ValueBuilder().zeros(60).word(1).append(alarm).zeros(40).bytes;
}

TEST(DamagedValue, CountsBeyondTheValueFailAtOnce) {
    ASSERT_EQ(Decoded<qEL2_VTODO>(ToDoWithAlarm(kAlarm))->pAlarms->count, 1u);
    // A decoder that sized a list by its count before checking it would
    // answer 12 instead of 22 for the larger counts.
    for (uint32_t huge : {0xFFFFFFFFu, 0x80000000u, 0x0AAAAAABu, 0x00010000u}) {
        SCOPED_TRACE(huge);
        // An event's attendee count, alarm count and last list count.
        for (size_t offset : {37u, 52u, 107u})
            EXPECT_EQ(Decoded<qEL2_VEVENT>(WithWord(kEvent, offset, huge)).result, EINVAL);
        EXPECT_EQ(Decoded<qEL2_CALPROPS>(WithWord(kCalendar, 31, huge)).result, EINVAL);
        EXPECT_EQ(Decoded<qEL2_VALARM>(WithWord(kAlarm, 23, huge)).result, EINVAL);
        // A bad count inside an embedded alarm (its last list's) fails the
        // whole record as damage too.
        EXPECT_EQ(Decoded<qEL2_VTODO>(ToDoWithAlarm(WithWord(kAlarm, 33, huge))).result, EINVAL);
    }
}

}  // namespace
}  // namespace qel2::test::codec
