// The stored layout of each value kind, byte by byte: the smallest values,
// field order, flag words, embedded alarms and the link mark of events.
// (RSVP bytes, organizers, access flags and filled lists are checked
// against the genuine store's values in codec_manifest_test.cc.)

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "decoded.h"
#include "value_builder.h"

namespace codec_test {
namespace {

template <typename Record>
Record* Element(const array_t* list, uint32_t i) {
    return static_cast<Record*>(array_elementat(list, i));
}

TEST(AlarmBlock, MinimalBlockSetsWordsAndAdvancesCursorByItsLength) {
    Bytes value = ValueBuilder().word(1).word(2).word(3).byte(0).byte(0).byte(0).byte(5).word(6)
                      .nulls(3).emptyLists(3).byte(0x7F).bytes();
    auto copy = ExactCopy(value, value.size());
    qEL2_VALARM* alarm = qel2_NewAlarm();
    const unsigned char* cursor = copy.get();
    EXPECT_EQ(qel2_pvt_DeserializeAlarm(alarm, copy.get(), &cursor, 39), 0);
    EXPECT_EQ(cursor, copy.get() + 38);
    EXPECT_EQ(alarm->lAlarmWord1, 1u);
    EXPECT_EQ(alarm->iAction, 3u);
    EXPECT_EQ(alarm->iRepeat, 5u);  // bytes 00 00 00 05 at offset 12
    EXPECT_EQ(alarm->lAlarmWord5, 6u);
    EXPECT_EQ(alarm->pAlarmText1, nullptr);
    EXPECT_EQ(alarm->pAlarmList3, nullptr);
    qel2_FreeAlarm(&alarm);
}

TEST(AlarmBlock, KeepsEmptyListElementsButNotEmptyTexts) {
    Bytes value = ValueBuilder().word(0).word(0).word(0).word(0).word(0).text("").text("t").nulls(1)
                      .list({"a", ""}).emptyLists(2).bytes();
    Decoded<qEL2_VALARM> alarm(value);
    ASSERT_EQ(alarm.result, 0);
    EXPECT_EQ(alarm->pAlarmText1, nullptr);
    EXPECT_STREQ(alarm->pAlarmText2, "t");
    ASSERT_EQ(alarm->pAlarmList1->count, 2u);
    EXPECT_STREQ(strarray_elementat(alarm->pAlarmList1, 0), "a");
    EXPECT_STREQ(strarray_elementat(alarm->pAlarmList1, 1), "");
}

TEST(CalendarValue, MinimalValueWithOrWithoutFillerAfterZeroCategoryCount) {
    Bytes minimal = MinimalCalendar();
    ASSERT_EQ(minimal.size(), 35u);
    Bytes withFiller = ValueBuilder().append(minimal).byte(0).bytes();
    for (const Bytes& value : {minimal, withFiller}) {
        Decoded<qEL2_CALPROPS> cal(value);
        EXPECT_EQ(cal.result, 0);
        EXPECT_EQ(cal->pParentCalID, nullptr);
        EXPECT_EQ(cal->pCategoryList, nullptr);
    }
}

TEST(EventValue, MinimalValueSetsOnlyTheNineWords) {
    EventParts parts = EventParts::Event();
    parts.words = {1, 2, 3, 4, 5, 6, 0xFFFFFFFF, 8, 0x00002193};
    Bytes value = parts.Build();
    ASSERT_EQ(value.size(), 112u);
    Decoded<qEL2_VEVENT> event(value);
    ASSERT_EQ(event.result, 0);
    EXPECT_EQ(event->dtStart, 1u);
    EXPECT_EQ(event->dtEnd, 2u);
    EXPECT_EQ(event->lExtra, 3u);
    EXPECT_EQ(event->lGeoLat, -1);
    EXPECT_EQ(event->rtflags, 0u);
    EXPECT_EQ(event->pAttendees, nullptr);
    EXPECT_EQ(event->pXProps, nullptr);
    // flags 00 00 21 93
    EXPECT_EQ(qel2_EventPriority(event->flags), 3u);
    EXPECT_TRUE(qel2_EventStartIsDate(event->flags));
    EXPECT_FALSE(qel2_EventEndIsDate(event->flags));
    EXPECT_EQ(qel2_EventStatus(event->flags), 3u);
    EXPECT_TRUE(qel2_EventTombstone(event->flags));
}

TEST(EventValue, OneAttendeeBlockAfterCountOne) {
    EventParts parts = EventParts::Event();
    parts.attendeeCount = 1;
    parts.attendees = ValueBuilder().text("a").nulls(7).byte(0x01).emptyLists(3).bytes();
    Bytes value = parts.Build();
    ASSERT_EQ(value.size(), 137u);
    Decoded<qEL2_VEVENT> event(value);
    ASSERT_EQ(event.result, 0);
    ASSERT_EQ(event->pAttendees->count, 1u);
    auto* a = Element<qEL2_ATTENDEE>(event->pAttendees, 0);
    EXPECT_STREQ(a->pCalAddress, "a");
    EXPECT_EQ(a->bRSVP, 1);
    EXPECT_EQ(a->pCUType, nullptr);
    EXPECT_EQ(a->pExtraParam, nullptr);
    EXPECT_EQ(a->pMember, nullptr);
}

TEST(EventValue, TwoAlarmBlocksBackToBack) {
    EventParts parts = EventParts::Event();
    parts.alarmCount = 2;
    parts.alarms = ValueBuilder().append(MinimalAlarm(11)).append(MinimalAlarm(22)).bytes();
    Decoded<qEL2_VEVENT> event(parts.Build());
    ASSERT_EQ(event.result, 0);
    ASSERT_EQ(event->pAlarms->count, 2u);
    EXPECT_EQ(Element<qEL2_VALARM>(event->pAlarms, 0)->lAlarmWord1, 11u);
    EXPECT_EQ(Element<qEL2_VALARM>(event->pAlarms, 1)->lAlarmWord1, 22u);
}

TEST(EventValue, LinkNeedsNoTimesAndAUrl) {
    struct Case {
        uint32_t start, end;
        const char* url;
        bool link;
    };
    for (const Case& c : {Case{0, 0, "asmith", true}, Case{0, 0, "", false},
                          Case{1, 0, "asmith", false}, Case{0, 1, "asmith", false}}) {
        EventParts parts = EventParts::Event();
        parts.words[0] = c.start;
        parts.words[1] = c.end;
        parts.strings[4] = c.url;
        Decoded<qEL2_VEVENT> event(parts.Build());
        ASSERT_EQ(event.result, 0);
        EXPECT_EQ(qel2_EventIsLink(event.record), c.link) << c.start << " " << c.end << " '" << c.url << "'";
    }
}

TEST(ToDoValue, MinimalValueTakesElevenWordsInStoredOrder) {
    EventParts parts = EventParts::ToDo();
    parts.words = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0x000050C5};
    Decoded<qEL2_VTODO> todo(parts.Build());
    ASSERT_EQ(todo.result, 0);
    EXPECT_EQ(todo->dtStart, 1u);
    EXPECT_EQ(todo->dtDue, 2u);
    EXPECT_EQ(todo->dtCompleted, 3u);
    EXPECT_EQ(todo->lExtra, 4u);
    EXPECT_EQ(todo->lExtra2, 8);
    EXPECT_EQ(todo->lGeoLon, 10);
    EXPECT_EQ(todo->lSpare, 1u);
    EXPECT_EQ(todo->pLinkedCalID, nullptr);
    EXPECT_EQ(todo->pExtraList1, nullptr);
    // flags 00 00 50 C5
    EXPECT_EQ(qel2_ToDoPriority(todo->flags), 5u);
    EXPECT_FALSE(qel2_ToDoStartIsDate(todo->flags) || qel2_ToDoDueIsDate(todo->flags));
    EXPECT_EQ(qel2_ToDoStatus(todo->flags), 3u);
    EXPECT_TRUE(qel2_ToDoTombstone(todo->flags));
    EXPECT_FALSE(qel2_ToDoFlag13(todo->flags));
    EXPECT_TRUE(qel2_ToDoIsLink(todo->flags));
    EXPECT_EQ(EventParts::ToDo().Build().size(), 105u);
}

TEST(ToDoValue, NoTimesAndAUrlWithoutTheFlagBitIsNoLink) {
    EventParts parts = EventParts::ToDo();
    parts.strings[4] = "asmith";
    Decoded<qEL2_VTODO> todo(parts.Build());
    ASSERT_EQ(todo.result, 0);
    EXPECT_EQ(todo->flags, 0u);
}

}  // namespace
}  // namespace codec_test
