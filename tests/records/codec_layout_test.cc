// The stored layout where the genuine store cannot tell a fault: to-do
// words in stored order (its to-dos hold 0 in three of them), attendee and
// alarm blocks, empty list elements and the link marks. The smallest values
// are in codec_damage_test.cc; flag words, RSVP bytes and filled records
// come from the genuine store in codec_manifest_test.cc.

#include <gtest/gtest.h>

#include <vector>

#include "decoded.h"
#include "value_builder.h"

namespace qel2::test::codec {
namespace {

using Words = std::vector<int64_t>;

TEST(ToDoValue, ElevenWordsInStoredOrderNotFieldOrder) {
    EventParts parts = EventParts::ToDo();
    parts.words = {1, 2, 3, 4, 5, 6, 7, 0xFFFFFFFE, 9, 10, 11};
    Decoded<qEL2_VTODO> t(parts.Build());
    ASSERT_EQ(t.result, 0);
    EXPECT_EQ((Words{t->dtStart, t->dtDue, t->dtCompleted, t->lExtra, t->dtModified, t->dtCreated,
                     t->iSequence, t->lExtra2, t->lGeoLat, t->lGeoLon, t->flags}),
              (Words{1, 2, 3, 4, 5, 6, 7, -2, 9, 10, 11}));
}

TEST(EventValue, AttendeeBlockAfterCountOneThenAlarmBlocksBackToBack) {
    EventParts parts = EventParts::Event();
    parts.attendeeCount = 1;
    parts.attendees = ValueBuilder().text("a").nulls(7).byte(0x01).emptyLists(3).bytes();
    parts.alarmCount = 2;
    parts.alarms = ValueBuilder()
                       .append(MinimalAlarm(11))
                       .word(22)
                       .word(0)
                       .word(0)
                       .word(0)
                       .word(0)
                       .nulls(3)
                       .list({"a", ""})
                       .emptyLists(2)
                       .bytes();
    Decoded<qEL2_VEVENT> event(parts.Build());
    ASSERT_EQ(event.result, 0);
    ASSERT_EQ(event->pAttendees->count, 1u);
    auto* a = static_cast<qEL2_ATTENDEE*>(array_elementat(event->pAttendees, 0));
    EXPECT_STREQ(a->pCalAddress, "a");
    EXPECT_EQ(a->bRSVP, 1);
    EXPECT_EQ(a->pExtraParam, nullptr);
    ASSERT_EQ(event->pAlarms->count, 2u);
    EXPECT_EQ(static_cast<qEL2_VALARM*>(array_elementat(event->pAlarms, 0))->lAlarmWord1, 11u);
    auto* second = static_cast<qEL2_VALARM*>(array_elementat(event->pAlarms, 1));
    EXPECT_EQ(second->lAlarmWord1, 22u);
    ASSERT_EQ(second->pAlarmList1->count, 2u);
    EXPECT_STREQ(strarray_elementat(second->pAlarmList1, 1), "") << "empty list elements are kept";
}

// An event is a link when it has no times and a URL (a to-do only by its
// flag bit, which the genuine store's to-dos show).
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
        EXPECT_EQ(qel2_EventIsLink(event.owned.get()), c.link)
            << c.start << " " << c.end << " '" << c.url << "'";
    }
}

}  // namespace
}  // namespace qel2::test::codec
