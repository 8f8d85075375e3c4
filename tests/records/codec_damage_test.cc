// Damaged values: every truncation and every count that runs past the end
// fail with EINVAL without reading past the value. (Allocation failures:
// tests/faults/allocation_sweep_test.cc.)

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "decoded.h"

namespace qel2::test::codec {
namespace {

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

// The smallest values hold every string absent and every count 0; an
// attendee count of 0 has no filler byte, nor has a calendar's last count.
TEST(DamagedValue, EveryTruncationOfASmallestOrGenuineValueFails) {
    EXPECT_EQ(MinimalAlarm().size(), 38u);
    EXPECT_EQ(MinimalCalendar().size(), 35u);
    EXPECT_EQ(EventParts::Event().Build().size(), 112u);
    EXPECT_EQ(EventParts::ToDo().Build().size(), 105u);
    ExpectEveryPrefixDamaged<qEL2_VALARM>(MinimalAlarm(), "smallest alarm");
    ExpectEveryPrefixDamaged<qEL2_CALPROPS>(MinimalCalendar(), "smallest calendar");
    ExpectEveryPrefixDamaged<qEL2_VEVENT>(EventParts::Event().Build(), "smallest event");
    ExpectEveryPrefixDamaged<qEL2_VTODO>(EventParts::ToDo().Build(), "smallest to-do");
    auto genuine = [](auto* kind, const char* section) {
        for (const auto& stored : qel2::test::Legacy42Manifest().at(section))
            ExpectEveryPrefixDamaged<std::remove_pointer_t<decltype(kind)>>(StoredValue(stored),
                                                                            RecordName(stored));
    };
    genuine(static_cast<qEL2_VEVENT*>(nullptr), "events");
    genuine(static_cast<qEL2_VTODO*>(nullptr), "todos");
    genuine(static_cast<qEL2_CALPROPS*>(nullptr), "calendars");
}

// Overwrites the word at `offset` of a copy of `value`.
Bytes WithWord(Bytes value, size_t offset, uint32_t word) {
    Bytes stored = ValueBuilder().word(word).bytes();
    std::copy(stored.begin(), stored.end(), value.begin() + static_cast<ptrdiff_t>(offset));
    return value;
}

TEST(DamagedValue, CountsBeyondTheValueFailAtOnce) {
    const Bytes event = EventParts::Event().Build();
    const size_t attendeeCount = 37, alarmCount = 37 + 4 + 11, lastList = event.size() - 5;
    // A decoder that sized a list by its count before checking it would
    // answer 12 instead of 22 for the larger counts.
    for (uint32_t huge : {0xFFFFFFFFu, 0x80000000u, 0x0AAAAAABu, 0x00010000u}) {
        SCOPED_TRACE(huge);
        EXPECT_EQ(Decoded<qEL2_VEVENT>(WithWord(event, attendeeCount, huge)).result, EINVAL);
        EXPECT_EQ(Decoded<qEL2_VEVENT>(WithWord(event, alarmCount, huge)).result, EINVAL);
        EXPECT_EQ(Decoded<qEL2_VEVENT>(WithWord(event, lastList, huge)).result, EINVAL);
        Bytes calendar = MinimalCalendar();
        EXPECT_EQ(Decoded<qEL2_CALPROPS>(WithWord(calendar, calendar.size() - 4, huge)).result,
                  EINVAL);
        EXPECT_EQ(Decoded<qEL2_VALARM>(WithWord(MinimalAlarm(), 23, huge)).result, EINVAL);
    }
    // A bad count inside an embedded alarm fails the record as damage too.
    EventParts todo = EventParts::ToDo();
    todo.alarmCount = 1;
    todo.alarms = WithWord(MinimalAlarm(), 33, 0xFFFFFFFF);  // its last list count
    EXPECT_EQ(Decoded<qEL2_VTODO>(todo.Build()).result, EINVAL);
}

}  // namespace
}  // namespace qel2::test::codec
