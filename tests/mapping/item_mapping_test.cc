// Events and to-dos into the server's records: the steps both share.
#include <gtest/gtest.h>

#include <prinrval.h>
#include <prthread.h>

#include <cstring>
#include <ctime>

#include "item_kinds.h"

namespace {

using namespace qel2test;

template <typename Kind>
class ItemMapping : public testing::Test {};

TYPED_TEST_SUITE(ItemMapping, ItemKinds);

TYPED_TEST(ItemMapping, LinkSourceKeepsUidOrganizerEmailAttendeesAlarmsAndPrintsNothing) {
    ItemPair<TypeParam> pair;
    TypeParam::MakeLink(pair.source);
    auto& t = *pair.target;
    t.uid = strdup("kept-uid");
    t.organizer_email = strdup("kept@example.com");
    array_t* const attendees = t.attendees = array_new();
    array_t* const alarms = t.alarms = array_new();
    t.default_organizer = strdup("mailto:default@example.com");
    qel2_FreeOrganizer(&pair.source->pOrganizer);

    PrOutput out;
    ASSERT_EQ(pair.Map("org-id", out.fd(), 2), 0);
    EXPECT_EQ(out.text(), "");
    EXPECT_STREQ(t.uid, "kept-uid");
    EXPECT_STREQ(t.organizer_email, "kept@example.com");
    EXPECT_EQ(t.attendees, attendees);
    EXPECT_EQ(t.alarms, alarms);
    // Everything else is mapped; a link's organizer has no sent_by.
    EXPECT_STREQ(t.summary, "Planning");
    EXPECT_STREQ(t.linked_calid, "other-cal");
    EXPECT_EQ(t.rrules->count, 2u);
    ASSERT_NE(t.organizer, nullptr);
    EXPECT_STREQ(t.organizer->cal_address, "mailto:default@example.com");
    EXPECT_EQ(t.organizer->sent_by, nullptr);
}

TYPED_TEST(ItemMapping, CountLinesAppearOnlyAtTraceLevelTwo) {
    for (int32_t level : {0, 1, 2, 3}) {
        ItemPair<TypeParam> pair;
        PrOutput out;
        ASSERT_EQ(pair.Map("org-id", out.fd(), level), 0);
        EXPECT_EQ(out.text(), level == 2 ? "\tAttendees Found:\t3\tAlarms Found:\t1\n" : "")
            << "trace level " << level;
    }
}

TYPED_TEST(ItemMapping, HostRecordOutlivesItsSource) {
    ItemPair<TypeParam> pair;
    pair.target->cleared_word = 99;
    ASSERT_EQ(pair.Map(), 0);
    const std::string mapped = Describe(*pair.target);
    TypeParam::Free(&pair.source);
    EXPECT_EQ(Describe(*pair.target), mapped);

    const auto& t = *pair.target;
    EXPECT_EQ(t.version, 0x10002u);
    EXPECT_EQ(t.cleared_word, 0u);
    EXPECT_EQ(t.geo_lat, -33865143);
    ASSERT_EQ(t.attendees->count, 3u);
    const auto* attendee = static_cast<const CALDB_ATTENDEE*>(array_elementat(t.attendees, 2));
    EXPECT_STREQ(attendee->cal_address, "mailto:c@example.com");
    EXPECT_STREQ(strarray_elementat(attendee->member, 0), "team");
    ASSERT_EQ(t.alarms->count, 1u);
    EXPECT_STREQ(static_cast<const CALDB_ALARM*>(array_elementat(t.alarms, 0))->alarm_text2, "Subject");
    EXPECT_EQ(t.extra_list1->count, 0u);  // absent lists give empty arrays
}

TYPED_TEST(ItemMapping, OrganizerComesFromTheSourceOrTheDefault) {
    ItemPair<TypeParam> withOrganizer;
    ASSERT_EQ(withOrganizer.Map("org-id"), 0);
    const CALDB_ORGANIZER* o = withOrganizer.target->organizer;
    EXPECT_STREQ(o->cal_address, "mailto:boss@example.com");
    EXPECT_STREQ(o->cn, "Boss");
    EXPECT_STREQ(o->id_a, "org-id");
    EXPECT_STREQ(o->id_b, "org-id");
    EXPECT_NE(o->id_a, o->id_b);

    ItemPair<TypeParam> without;
    qel2_FreeOrganizer(&without.source->pOrganizer);
    without.target->default_organizer = strdup("mailto:default@example.com");
    ASSERT_EQ(without.Map(nullptr), 0);
    o = without.target->organizer;
    EXPECT_STREQ(o->cal_address, "mailto:default@example.com");
    EXPECT_STREQ(o->sent_by, "mailto:boss@example.com");
    EXPECT_EQ(o->id_a, nullptr);
    EXPECT_EQ(o->id_b, nullptr);
    EXPECT_EQ(o->cn, nullptr);
}

TYPED_TEST(ItemMapping, NullArgumentsAreRefused) {
    ItemPair<TypeParam> pair;
    typename TypeParam::Target* none = nullptr;
    EXPECT_EQ(TypeParam::Map(nullptr, &pair.target, "id", nullptr, 0), 1);
    EXPECT_EQ(TypeParam::Map(pair.source, &none, "id", nullptr, 0), 1);
}

template <typename Kind>
void ExpectOnlyMappedAtDiffers(const ItemPair<Kind>& first, const ItemPair<Kind>& second) {
    EXPECT_GT(second.target->mapped_at, first.target->mapped_at);
    EXPECT_EQ(Describe(*first.target), Describe(*second.target));
}

// Both kinds share one wait for the clock to tick, which keeps the suite
// from sleeping more than a second.
TEST(ItemMapping, TwoMappingsDifferOnlyInTheTimeOfMapping) {
    ItemPair<EventKind> firstEvent, secondEvent;
    ItemPair<ToDoKind> firstToDo, secondToDo;
    const uint32_t before = static_cast<uint32_t>(time(nullptr));
    ASSERT_EQ(firstEvent.Map(), 0);
    ASSERT_EQ(firstToDo.Map(), 0);
    while (static_cast<uint32_t>(time(nullptr)) == before) PR_Sleep(PR_MillisecondsToInterval(10));
    ASSERT_EQ(secondEvent.Map(), 0);
    ASSERT_EQ(secondToDo.Map(), 0);
    EXPECT_EQ(firstEvent.target->mapped_at, before);
    ExpectOnlyMappedAtDiffers(firstEvent, secondEvent);
    ExpectOnlyMappedAtDiffers(firstToDo, secondToDo);
}

TEST(ToDoMapping, CarriesDueCompletedAndTheSignedExtraWord) {
    ItemPair<ToDoKind> pair;
    ASSERT_EQ(pair.source->lExtra2, -1);
    ASSERT_EQ(pair.Map(), 0);
    EXPECT_EQ(pair.target->due, 1136454300u);
    EXPECT_EQ(pair.target->completed, 1136460000u);
    EXPECT_EQ(pair.target->extra_word2, -1);
}

TEST(AttendeeMapping, AbsentListsGiveEmptyArraysAndFixedWordsAreSet) {
    qEL2_ATTENDEE* source = qel2_NewAttendee();
    CALDB_ATTENDEE* target = caldb_NewAttendee();
    target->reserved2 = 5;  // the server's word
    target->cleared1 = target->cleared2 = target->cleared3 = target->cleared7 = 7;
    ASSERT_EQ(AttendeeMapping(source, &target), 0);
    for (const array_t* list : {target->member, target->delegated_to, target->delegated_from}) {
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->count, 0u);
    }
    EXPECT_EQ(target->preset_code, 2);
    EXPECT_EQ(target->reserved2, 5u);
    EXPECT_EQ(target->cleared1 | target->cleared2 | target->cleared3 | target->cleared7, 0u);
    qel2_FreeAttendee(&source);
    caldb_FreeAttendee(&target);
}

TEST(AlarmMapping, SelectorChoosesTheKind) {
    qEL2_VALARM* source = qel2_NewAlarm();
    for (auto [selector, kind] : {std::pair{0, 3u}, {1, 4u}, {-1, 4u}}) {
        CALDB_ALARM* target = caldb_NewAlarm();
        ASSERT_EQ(AlarmMapping(source, &target, selector), 0);
        EXPECT_EQ(target->alarm_kind, kind) << "selector " << selector;
        caldb_FreeAlarm(&target);
    }
    qel2_FreeAlarm(&source);
}

}  // namespace
