// Events and to-dos into the server's records: the steps both share.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>
#include <tuple>
#include <vector>

#include "mapping_fixtures.h"
#include "support/pr_capture.h"
#include "support/string_list.h"

namespace {

using namespace qel2::test;
using Texts = std::vector<std::string>;

template <typename Kind>
class ItemMapping : public testing::Test {};

TYPED_TEST_SUITE(ItemMapping, ItemKinds);

// The source is released before the checks, so that a field the mapping
// shared rather than copied shows as a use after free (AddressSanitizer).
TYPED_TEST(ItemMapping, EveryFieldIsCopiedIntoItsPlaceAndOutlivesTheSource) {
    ItemPair<TypeParam> pair;
    pair.target->cleared_word = 99;
    const uint32_t before = static_cast<uint32_t>(time(nullptr));
    ASSERT_EQ(pair.Map(), 0);
    const uint32_t after = static_cast<uint32_t>(time(nullptr));
    TypeParam::Free(&pair.source);

    const auto& t = *pair.target;
    for (auto [text, name] : {std::pair{t.summary, "summary"},
                              {t.uid, "uid"},
                              {t.description, "description"},
                              {t.location, "location"},
                              {t.url, "url"},
                              {t.class_, "class"},
                              {t.organizer_email, "organizer_email"},
                              {t.charset, "charset"},
                              {t.language, "language"},
                              {t.extra1, "extra1"},
                              {t.extra2, "extra2"},
                              {t.linked_calid, "linked_calid"}}) {
        EXPECT_STREQ(text, name);
    }
    for (auto [list, name] : {std::pair{t.rdates, "rdates"},
                              {t.exdates, "exdates"},
                              {t.rrules, "rrules"},
                              {t.exrules, "exrules"},
                              {t.related_to, "related_to"},
                              {t.extra_list2, "extra_list2"},
                              {t.extra_list3, "extra_list3"},
                              {t.categories, "categories"},
                              {t.attachments, "attachments"},
                              {t.xprops, "xprops"}}) {
        EXPECT_EQ(Strings(list), Texts{name});
    }
    ASSERT_NE(t.extra_list1, nullptr);  // an absent list gives an empty array
    EXPECT_EQ(t.extra_list1->count, 0u);
    EXPECT_EQ(std::vector<uint32_t>({t.version, t.dtstart, t.created, t.sequence, t.extra,
                                     t.recurrence_id, t.cleared_word, uint32_t(t.geo_lat),
                                     uint32_t(t.geo_lon), t.host_data}),
              std::vector<uint32_t>({0x10002u, 1136450700u, 1136000000u, 4u, 9u, 1136450800u, 0u,
                                     uint32_t(-33865143), 151209900u, 77u}));
    EXPECT_GE(t.mapped_at, before);
    EXPECT_LE(t.mapped_at, after);

    const CALDB_ORGANIZER* o = t.organizer;
    ASSERT_NE(o, nullptr);
    EXPECT_STREQ(o->cal_address, "mailto:boss@example.com");
    EXPECT_STREQ(o->cn, "Boss");
    EXPECT_STREQ(o->id_a, "org-id");
    EXPECT_STREQ(o->id_b, "org-id");
    EXPECT_NE(o->id_a, o->id_b);
    ASSERT_EQ(t.attendees->count, 3u);
    const auto* attendee = static_cast<const CALDB_ATTENDEE*>(array_elementat(t.attendees, 2));
    EXPECT_STREQ(attendee->cal_address, "mailto:c@example.com");
    EXPECT_STREQ(attendee->partstat, "ACCEPTED");
    EXPECT_EQ(Strings(attendee->member), (Texts{"team", ""}));
    EXPECT_EQ(attendee->preset_code, 2);
    for (const array_t* list : {attendee->delegated_to, attendee->delegated_from})
        EXPECT_TRUE(list != nullptr && list->count == 0);  // absent lists give empty arrays
    ASSERT_EQ(t.alarms->count, 1u);
    const auto* alarm = static_cast<const CALDB_ALARM*>(array_elementat(t.alarms, 0));
    EXPECT_EQ(alarm->alarm_word1, 1136450700u);
    EXPECT_STREQ(alarm->alarm_text2, "Subject");
    EXPECT_EQ(Strings(alarm->alarm_list1), Texts{"mailto:me@example.com"});
}

TYPED_TEST(ItemMapping, LinkSourceKeepsUidOrganizerEmailAttendeesAlarmsAndPrintsNothing) {
    ItemPair<TypeParam> pair;
    MakeLink(pair.source);
    auto& t = *pair.target;
    t.uid = strdup("kept-uid");
    t.organizer_email = strdup("kept@example.com");
    array_t* const attendees = t.attendees = array_new();
    array_t* const alarms = t.alarms = array_new();

    PrCapture out;
    ASSERT_EQ(pair.Map("org-id", out.fd(), 2), 0);
    EXPECT_EQ(out.text(), "");
    EXPECT_STREQ(t.uid, "kept-uid");
    EXPECT_STREQ(t.organizer_email, "kept@example.com");
    EXPECT_EQ(t.attendees, attendees);
    EXPECT_EQ(t.alarms, alarms);
    EXPECT_STREQ(t.summary, "summary");  // everything else is mapped
}

TYPED_TEST(ItemMapping, WithoutAnOrganizerTheDefaultIsSentByTheEmailExceptForALink) {
    for (bool link : {false, true}) {
        SCOPED_TRACE(link ? "link" : "not a link");
        ItemPair<TypeParam> pair;
        qel2_FreeOrganizer(&pair.source->pOrganizer);
        if (link) MakeLink(pair.source);
        pair.target->default_organizer = strdup("mailto:default@example.com");
        ASSERT_EQ(pair.Map(nullptr), 0);
        const CALDB_ORGANIZER* o = pair.target->organizer;
        ASSERT_NE(o, nullptr);
        EXPECT_STREQ(o->cal_address, "mailto:default@example.com");
        EXPECT_STREQ(o->sent_by, link ? nullptr : "organizer_email");
        EXPECT_EQ(o->id_a, nullptr);
        EXPECT_EQ(o->cn, nullptr);
    }
}

// The host may keep a field's memory elsewhere (here static and on the
// stack): the mapping overwrites its fields and releases nothing.
TYPED_TEST(ItemMapping, WhatTheHostLeftInAFieldIsOverwrittenNeverReleased) {
    ItemPair<TypeParam> pair;
    static char hostText[] = "the host's own";
    array_t hostList{};
    CALDB_ORGANIZER hostOrganizer{};
    auto& t = *pair.target;
    t.summary = t.uid = t.extra1 = hostText;
    t.rdates = t.attendees = t.alarms = &hostList;
    t.organizer = &hostOrganizer;
    ASSERT_EQ(pair.Map(), 0);
    EXPECT_STREQ(t.summary, "summary");
    EXPECT_NE(t.uid, hostText);
    EXPECT_NE(t.organizer, &hostOrganizer);
    EXPECT_NE(t.attendees, &hostList);
    EXPECT_NE(t.rdates, &hostList);
    EXPECT_STREQ(hostText, "the host's own");
}

TYPED_TEST(ItemMapping, CountLinesAppearOnlyAtTraceLevelTwo) {
    for (int32_t level : {0, 1, 2, 3}) {
        ItemPair<TypeParam> pair;
        PrCapture out;
        ASSERT_EQ(pair.Map("org-id", out.fd(), level), 0);
        EXPECT_EQ(out.text(), level == 2 ? "\tAttendees Found:\t3\tAlarms Found:\t1\n" : "")
            << "trace level " << level;
    }
}

TEST(ItemMapping, EachKindCarriesItsOwnTimes) {
    ItemPair<EventKind> event;
    ItemPair<ToDoKind> todo;
    ASSERT_EQ(event.Map() | todo.Map(), 0);
    EXPECT_EQ(event.target->dtend, 1136454300u);
    EXPECT_EQ(std::tuple(todo.target->due, todo.target->completed, todo.target->extra_word2),
              std::tuple(1136454300u, 1136460000u, -5));
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
