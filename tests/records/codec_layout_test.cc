// The stored layout of each value kind, byte by byte: sizes of the smallest
// values, field order, flag words, the RSVP byte, embedded alarms and the
// link mark of events.

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "decoded.h"
#include "value_builder.h"

namespace codec_test {
namespace {

std::string Text(const array_t* list, uint32_t i) { return strarray_elementat(list, i); }

TEST(AlarmBlock, MinimalBlockSetsWordsAndAdvancesCursorByItsLength) {
    Bytes value = ValueBuilder().word(1).word(2).word(3).byte(0).byte(0).byte(0).byte(5).word(6)
                      .nulls(3).emptyLists(3).byte(0x7F).bytes();
    ASSERT_EQ(value.size(), 39u);
    auto copy = ExactCopy(value, value.size());
    qEL2_VALARM* alarm = qel2_NewAlarm();
    const unsigned char* cursor = copy.get();
    EXPECT_EQ(qel2_pvt_DeserializeAlarm(alarm, copy.get(), &cursor, 39), 0);
    EXPECT_EQ(cursor, copy.get() + 38);
    EXPECT_EQ(alarm->lAlarmWord1, 1u);
    EXPECT_EQ(alarm->lAlarmWord2, 2u);
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
    ASSERT_NE(alarm->pAlarmList1, nullptr);
    ASSERT_EQ(alarm->pAlarmList1->count, 2u);
    EXPECT_EQ(Text(alarm->pAlarmList1, 0), "a");
    EXPECT_EQ(Text(alarm->pAlarmList1, 1), "");
}

TEST(CalendarValue, DecodesWithOrWithoutFillerAfterZeroCategoryCount) {
    Bytes minimal = MinimalCalendar();
    ASSERT_EQ(minimal.size(), 35u);
    Bytes withFiller = minimal;
    withFiller.push_back(0);
    for (const Bytes& value : {minimal, withFiller}) {
        Decoded<qEL2_CALPROPS> cal(value);
        EXPECT_EQ(cal.result, 0);
        EXPECT_EQ(cal->pParentCalID, nullptr);
        EXPECT_EQ(cal->pOtherOwners, nullptr);
        EXPECT_EQ(cal->pChildList, nullptr);
        EXPECT_EQ(cal->pCategoryList, nullptr);
    }
}

TEST(CalendarValue, AccessFlagsAndListsInStoredOrder) {
    Bytes value = ValueBuilder().word(7).word(8).byte(0).byte(0).byte(0x02).byte(0x21)
                      .text("d").nulls(1).text("jdoe").nulls(6)
                      .list({"c", "a", "b"}).emptyLists(1).list({"work"}).bytes();
    Decoded<qEL2_CALPROPS> cal(value);
    ASSERT_EQ(cal.result, 0);
    EXPECT_EQ(cal->dtModified, 7u);
    EXPECT_EQ(qel2_CalReadAccess(cal->accessFlags), 1u);
    EXPECT_EQ(qel2_CalWriteAccess(cal->accessFlags), 2u);
    EXPECT_FALSE(qel2_CalFlag8(cal->accessFlags));
    EXPECT_TRUE(qel2_CalDisabled(cal->accessFlags));
    EXPECT_STREQ(cal->pRelativeCalID, "jdoe");
    ASSERT_EQ(cal->pOtherOwners->count, 3u);
    EXPECT_EQ(Text(cal->pOtherOwners, 0) + Text(cal->pOtherOwners, 1) + Text(cal->pOtherOwners, 2), "cab");
    EXPECT_EQ(cal->pChildList, nullptr);
    EXPECT_EQ(Text(cal->pCategoryList, 0), "work");
}

TEST(EventValue, MinimalValueSetsOnlyTheNineWords) {
    EventParts parts = EventParts::Event();
    parts.words = {1, 2, 3, 4, 5, 6, 0xFFFFFFFF, 8, 9};
    Bytes value = parts.Build();
    ASSERT_EQ(value.size(), 112u);
    Decoded<qEL2_VEVENT> event(value);
    ASSERT_EQ(event.result, 0);
    EXPECT_EQ(event->dtStart, 1u);
    EXPECT_EQ(event->dtEnd, 2u);
    EXPECT_EQ(event->lExtra, 3u);
    EXPECT_EQ(event->dtCreated, 5u);
    EXPECT_EQ(event->lGeoLat, -1);
    EXPECT_EQ(event->flags, 9u);
    EXPECT_EQ(event->rtflags, 0u);
    EXPECT_EQ(event->pOrganizer, nullptr);
    EXPECT_EQ(event->pAttendees, nullptr);
    EXPECT_EQ(event->pAlarms, nullptr);
    EXPECT_EQ(event->pSummary, nullptr);
    EXPECT_EQ(event->pXProps, nullptr);
}

TEST(EventValue, FlagWordBitsLandInTheirFields) {
    EventParts parts = EventParts::Event();
    parts.words[8] = 0x00002193;
    Decoded<qEL2_VEVENT> event(parts.Build());
    ASSERT_EQ(event.result, 0);
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
    auto* a = static_cast<qEL2_ATTENDEE*>(array_elementat(event->pAttendees, 0));
    EXPECT_STREQ(a->pCalAddress, "a");
    EXPECT_EQ(a->bRSVP, 1);
    EXPECT_EQ(a->pCUType, nullptr);
    EXPECT_EQ(a->pExtraParam, nullptr);
    EXPECT_EQ(a->pMember, nullptr);
}

TEST(EventValue, ZeroAttendeeCountHasNoFillerButZeroAlarmCountHasOne) {
    EventParts parts = EventParts::Event();
    parts.strings[0] = "S";
    parts.alarms = {0x5A};  // the filler's value is not interpreted
    Decoded<qEL2_VEVENT> event(parts.Build());
    ASSERT_EQ(event.result, 0);
    EXPECT_STREQ(event->pSummary, "S");
    EXPECT_EQ(event->pAlarms, nullptr);
    EXPECT_EQ(event->pRDates, nullptr);
}

TEST(EventValue, RsvpByteIsSignExtended) {
    for (auto [stored, expected] : {std::pair<unsigned char, int>{0xFF, -1}, {0x01, 1}, {0x00, 0}}) {
        EventParts parts = EventParts::Event();
        parts.attendeeCount = 1;
        parts.attendees = MinimalAttendee(stored);
        Decoded<qEL2_VEVENT> event(parts.Build());
        ASSERT_EQ(event.result, 0);
        auto* a = static_cast<qEL2_ATTENDEE*>(array_elementat(event->pAttendees, 0));
        EXPECT_EQ(a->bRSVP, expected) << "stored byte " << int{stored};
    }
}

TEST(EventValue, OrganizerWithAddressOnly) {
    EventParts parts = EventParts::Event();
    parts.organizer = ValueBuilder().text("mailto:o@x").nulls(4).bytes();
    Decoded<qEL2_VEVENT> event(parts.Build());
    ASSERT_EQ(event.result, 0);
    ASSERT_NE(event->pOrganizer, nullptr);
    EXPECT_STREQ(event->pOrganizer->pCalAddress, "mailto:o@x");
    EXPECT_EQ(event->pOrganizer->pCN, nullptr);
    EXPECT_EQ(event->pOrganizer->pLanguage, nullptr);
}

TEST(EventValue, TwoAlarmBlocksBackToBack) {
    EventParts parts = EventParts::Event();
    parts.alarmCount = 2;
    parts.alarms = ValueBuilder().append(MinimalAlarm(11)).append(MinimalAlarm(22)).bytes();
    Decoded<qEL2_VEVENT> event(parts.Build());
    ASSERT_EQ(event.result, 0);
    ASSERT_EQ(event->pAlarms->count, 2u);
    EXPECT_EQ(static_cast<qEL2_VALARM*>(array_elementat(event->pAlarms, 0))->lAlarmWord1, 11u);
    EXPECT_EQ(static_cast<qEL2_VALARM*>(array_elementat(event->pAlarms, 1))->lAlarmWord1, 22u);
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
    parts.words = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0};
    Bytes value = parts.Build();
    ASSERT_EQ(value.size(), 105u);
    Decoded<qEL2_VTODO> todo(value);
    ASSERT_EQ(todo.result, 0);
    EXPECT_EQ(todo->dtStart, 1u);
    EXPECT_EQ(todo->dtDue, 2u);
    EXPECT_EQ(todo->dtCompleted, 3u);
    EXPECT_EQ(todo->lExtra, 4u);
    EXPECT_EQ(todo->dtModified, 5u);
    EXPECT_EQ(todo->dtCreated, 6u);
    EXPECT_EQ(todo->iSequence, 7u);
    EXPECT_EQ(todo->lExtra2, 8);
    EXPECT_EQ(todo->lGeoLon, 10);
    EXPECT_EQ(todo->flags, 0u);  // replaces the constructor's Status 3
    EXPECT_EQ(todo->lSpare, 1u);
    EXPECT_EQ(todo->pLinkedCalID, nullptr);
    EXPECT_EQ(todo->pExtraList1, nullptr);
    EXPECT_EQ(todo->pXProps, nullptr);
}

TEST(ToDoValue, LinkIsTheStoredFlagBitOnly) {
    EventParts parts = EventParts::ToDo();
    parts.words[10] = 0x000050C5;
    Decoded<qEL2_VTODO> todo(parts.Build());
    ASSERT_EQ(todo.result, 0);
    EXPECT_EQ(qel2_ToDoPriority(todo->flags), 5u);
    EXPECT_FALSE(qel2_ToDoStartIsDate(todo->flags) || qel2_ToDoDueIsDate(todo->flags));
    EXPECT_EQ(qel2_ToDoStatus(todo->flags), 3u);
    EXPECT_TRUE(qel2_ToDoTombstone(todo->flags));
    EXPECT_FALSE(qel2_ToDoFlag13(todo->flags));
    EXPECT_TRUE(qel2_ToDoIsLink(todo->flags));

    parts = EventParts::ToDo();
    parts.strings[4] = "asmith";  // no times and a URL, but the bit is clear
    Decoded<qEL2_VTODO> plain(parts.Build());
    ASSERT_EQ(plain.result, 0);
    EXPECT_FALSE(qel2_ToDoIsLink(plain->flags));
}

}  // namespace
}  // namespace codec_test
