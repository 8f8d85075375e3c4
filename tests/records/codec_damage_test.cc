// Damaged values: every truncation and every count that runs past the end
// fail with EINVAL without reading past the value; allocation failures give
// 12 or -1 and leak nothing.

#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <string>

#include <qel2/host_faults.h>

#include "decoded.h"

namespace codec_test {
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
        for (const auto& stored : qel2test::Legacy42Manifest().at(section))
            ExpectEveryPrefixDamaged<std::remove_pointer_t<decltype(kind)>>(StoredValue(stored), RecordName(stored));
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
    // With every host allocation failing, a decoder that created a list
    // before checking its count would answer 12 instead of 22.
    qel2host_FailAllocationsAfter(0);
    for (uint32_t huge : {0xFFFFFFFFu, 0x80000000u, 0x0AAAAAABu, 0x00010000u}) {
        SCOPED_TRACE(huge);
        EXPECT_EQ(Decoded<qEL2_VEVENT>(WithWord(event, attendeeCount, huge)).result, EINVAL);
        EXPECT_EQ(Decoded<qEL2_VEVENT>(WithWord(event, alarmCount, huge)).result, EINVAL);
        EXPECT_EQ(Decoded<qEL2_VEVENT>(WithWord(event, lastList, huge)).result, EINVAL);
        Bytes calendar = MinimalCalendar();
        EXPECT_EQ(Decoded<qEL2_CALPROPS>(WithWord(calendar, calendar.size() - 4, huge)).result, EINVAL);
        EXPECT_EQ(Decoded<qEL2_VALARM>(WithWord(MinimalAlarm(), 23, huge)).result, EINVAL);
    }
    qel2host_FailAllocationsAfter(-1);
    // A bad count inside an embedded alarm fails the record as damage too.
    EventParts todo = EventParts::ToDo();
    todo.alarmCount = 1;
    todo.alarms = WithWord(MinimalAlarm(), 33, 0xFFFFFFFF);  // its last list count
    EXPECT_EQ(Decoded<qEL2_VTODO>(todo.Build()).result, EINVAL);
}

// Fails the n-th host allocation for n = 0, 1, ... until the value decodes;
// every failure is 12 (or -1 for an alarm) and, in the leak-checking
// build, leaves nothing behind once the record is released.
template <typename Record>
std::set<int> ResultsUnderAllocationFailures(const Bytes& value) {
    std::set<int> results;
    for (int32_t allowed = 0; allowed < 10000; ++allowed) {
        qel2host_FailAllocationsAfter(allowed);
        Decoded<Record> decoded(value);
        qel2host_FailAllocationsAfter(-1);
        results.insert(decoded.result);
        if (decoded.result == 0) break;
    }
    return results;
}

TEST(AllocationFailure, GivesOutOfMemoryOrAlarmFailureAndLeaksNothing) {
    // evt-standup has attendees with lists, an alarm with a recipient list
    // and categories; asmith's todo-shared has an attendee and an alarm.
    const std::set<int> itemResults = {-1, 0, ENOMEM};
    EXPECT_EQ(ResultsUnderAllocationFailures<qEL2_VEVENT>(StoredValueOf("events", "jdoe/evt-standup")), itemResults);
    EXPECT_EQ(ResultsUnderAllocationFailures<qEL2_VTODO>(StoredValueOf("todos", "asmith/todo-shared")), itemResults);
    EXPECT_EQ(ResultsUnderAllocationFailures<qEL2_CALPROPS>(StoredValueOf("calendars", "jdoe")),
              (std::set<int>{0, ENOMEM}));
}

}  // namespace
}  // namespace codec_test
