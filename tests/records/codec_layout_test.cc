// The stored layout where the genuine store cannot tell a fault: to-do
// words in stored order (its to-dos hold 0 in three of them), attendee and
// alarm blocks, empty list elements and the link marks. Flag words, RSVP
// bytes and filled records come from the genuine store in
// codec_manifest_test.cc.

#include <gtest/gtest.h>

#include <vector>

#include "decoded.h"

namespace qel2::test::codec {
namespace {

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

TEST(EventValue, AttendeeBlockAfterCountOneThenAlarmBlocksBackToBack) {
    ValueBuilder v;
    v.zeros(37).word(1);                            // nine words, no organizer; one attendee:
    v.text("a").zeros(7).append({0x01}).zeros(15);  // address, 7 strings, RSVP, 3 lists
    v.zeros(11).word(2);                            // the event's strings; two alarms of
    v.word(11).zeros(34);                           // five words, three strings, three lists
    v.word(22).zeros(19).word(2).text("a").text("").zeros(10);
    v.zeros(55);  // the event's lists
    Decoded<qEL2_VEVENT> event(v.bytes);
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
        // Start and end, seven more words, organizer byte, attendee count,
        // four strings before the URL, six after, no alarms, eleven lists.
        Decoded<qEL2_VEVENT> event(
            ValueBuilder().word(c.start).word(c.end).zeros(37).text(c.url).zeros(66).bytes);
        ASSERT_EQ(event.result, 0);
        EXPECT_EQ(qel2_EventIsLink(event.owned.get()), c.link)
            << c.start << " " << c.end << " '" << c.url << "'";
    }
}

}  // namespace
}  // namespace qel2::test::codec
