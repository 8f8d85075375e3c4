// Events and to-dos into the server's records: the steps both share, one
// check per group of mapped fields, and the flag words re-packed into the
// server's layout.
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

// Texts of host string fields, "(null)" for a null one; host lists, each
// as its elements joined by commas, "(no list)" for a null one.
Texts TextsOf(std::initializer_list<const char*> texts) {
    Texts out;
    for (const char* text : texts) out.emplace_back(text ? text : "(null)");
    return out;
}
Texts ListsOf(std::initializer_list<const array_t*> lists) {
    Texts out;
    for (const array_t* list : lists) {
        std::string joined = list ? "" : "(no list)";
        for (const std::string& element : Strings(list))
            joined += (joined.empty() ? "" : ",") + element;
        out.push_back(joined);
    }
    return out;
}

template <typename Kind>
class ItemMapping : public testing::Test {};

TYPED_TEST_SUITE(ItemMapping, ItemKinds);

// The source is released before the checks, so that a field the mapping
// shared rather than copied shows as a use after free (AddressSanitizer).
TYPED_TEST(ItemMapping, EveryFieldIsCopiedIntoItsPlaceAndOutlivesTheSource) {
    ItemPair<TypeParam> pair;
    pair.target->cleared_word = 99;
    pair.target->alarm_selector = -1;  // any but 0: server alarms
    const int64_t before = time(nullptr);
    ASSERT_EQ(pair.Map(), 0);
    const int64_t after = time(nullptr);
    TypeParam::Free(&pair.source);

    const auto& t = *pair.target;
    EXPECT_EQ(
        TextsOf({t.summary, t.uid, t.description, t.location, t.url, t.class_, t.organizer_email,
                 t.charset, t.language, t.extra1, t.extra2, t.linked_calid}),
        (Texts{"summary", "uid", "description", "location", "url", "class", "organizer_email",
               "charset", "language", "extra1", "extra2", "linked_calid"}));
    // An absent list (extra_list1) gives an empty array.
    EXPECT_EQ(ListsOf({t.rdates, t.exdates, t.rrules, t.exrules, t.related_to, t.extra_list1,
                       t.extra_list2, t.extra_list3, t.categories, t.attachments, t.xprops}),
              (Texts{"rdates", "exdates", "rrules", "exrules", "related_to", "", "extra_list2",
                     "extra_list3", "categories", "attachments", "xprops"}));
    EXPECT_EQ(
        std::vector<int64_t>({t.version, t.dtstart, t.created, t.sequence, t.extra, t.recurrence_id,
                              t.cleared_word, t.geo_lat, t.geo_lon, t.host_data}),
        std::vector<int64_t>(
            {0x10002, 1136450700, 1136000000, 4, 9, 1136450800, 0, -33865143, 151209900, 77}));
    EXPECT_TRUE(t.mapped_at >= before && t.mapped_at <= after) << t.mapped_at;
    if constexpr (std::is_same_v<TypeParam, EventKind>) {
        EXPECT_EQ(t.dtend, 1136454300u);
    } else {
        EXPECT_EQ(std::tuple(t.due, t.completed, t.extra_word2),
                  std::tuple(1136454300u, 1136460000u, -5));
    }

    const CALDB_ORGANIZER* o = t.organizer;
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(TextsOf({o->cal_address, o->cn, o->dir, o->id_a, o->id_b}),
              (Texts{"mailto:boss@example.com", "Boss", "(null)", "org-id", "org-id"}));
    EXPECT_NE(o->id_a, o->id_b);
    ASSERT_EQ(t.attendees->count, 3u);
    const auto* a = static_cast<const CALDB_ATTENDEE*>(array_elementat(t.attendees, 2));
    EXPECT_EQ(TextsOf({a->cal_address, a->partstat, a->role}),
              (Texts{"mailto:c@example.com", "ACCEPTED", "(null)"}));
    EXPECT_EQ(ListsOf({a->member, a->delegated_to, a->delegated_from}), (Texts{"team,", "", ""}));
    EXPECT_EQ(a->preset_code, 2);
    ASSERT_EQ(t.alarms->count, 1u);
    const auto* alarm = static_cast<const CALDB_ALARM*>(array_elementat(t.alarms, 0));
    EXPECT_EQ(std::pair(alarm->alarm_word1, alarm->alarm_kind), std::pair(1136450700u, 4u));
    EXPECT_EQ(TextsOf({alarm->alarm_text1, alarm->alarm_text2}), (Texts{"(null)", "Subject"}));
    EXPECT_EQ(ListsOf({alarm->alarm_list1}), (Texts{"mailto:me@example.com"}));
}

// A link record keeps the uid, organizer address, attendees and alarms the
// target has (the calendar that reached it gave them) and prints no counts;
// every other record prints them at trace level 2 only. Without a source
// organizer, the target's default is sent by the organizer address, except
// for a link.
TYPED_TEST(ItemMapping, LinksKeepWhatTheTargetHasAndTheDefaultOrganizerStandsIn) {
    for (bool link : {false, true}) {
        for (int32_t level : {0, 1, 2, 3}) {
            ItemPair<TypeParam> pair;
            qel2_FreeOrganizer(&pair.source->pOrganizer);
            if (link) MakeLink(pair.source);
            auto& t = *pair.target;
            t.default_organizer = strdup("mailto:default@example.com");
            array_t *attendees = nullptr, *alarms = nullptr;
            if (link) {  // kept, then released with the target
                t.uid = strdup("kept-uid");
                t.organizer_email = strdup("kept@example.com");
                attendees = t.attendees = array_new();
                alarms = t.alarms = array_new();
            }
            PrCapture out;
            ASSERT_EQ(pair.Map(nullptr, out.fd(), level), 0);
            SCOPED_TRACE(std::string(link ? "link" : "not a link") + ", trace level " +
                         std::to_string(level));
            EXPECT_EQ(out.text(),
                      level == 2 && !link ? "\tAttendees Found:\t3\tAlarms Found:\t1\n" : "");
            EXPECT_EQ(TextsOf({t.uid, t.organizer_email, t.summary}),
                      (link ? Texts{"kept-uid", "kept@example.com", "summary"}
                            : Texts{"uid", "organizer_email", "summary"}));
            if (link) {
                EXPECT_EQ(t.attendees, attendees);
                EXPECT_EQ(t.alarms, alarms);
            } else {  // alarm selector 0: client alarms
                EXPECT_EQ(static_cast<CALDB_ALARM*>(array_elementat(t.alarms, 0))->alarm_kind, 3u);
            }
            ASSERT_NE(t.organizer, nullptr);
            EXPECT_EQ(TextsOf({t.organizer->cal_address, t.organizer->sent_by, t.organizer->id_a,
                               t.organizer->cn}),
                      (Texts{"mailto:default@example.com", link ? "(null)" : "organizer_email",
                             "(null)", "(null)"}));
        }
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

template <typename Kind>
uint32_t Repacked(uint32_t source, uint32_t preset) {
    ItemPair<Kind> pair;
    pair.source->flags = source;
    pair.target->flags = preset;
    EXPECT_EQ(pair.Map(), 0);
    return pair.target->flags;
}

// Each row of tests/data/mapping/flag-repacking.json over each preset host
// word: the bits the mapping rewrites hold the row's host bits, the others
// stay.
TEST(FlagRepacking, EachSourceBitMovesToItsHostPosition) {
    const auto table = nlohmann::json::parse(test_data_text("mapping/flag-repacking.json"));
    auto word = [](const nlohmann::json& hex) {
        return static_cast<uint32_t>(std::stoul(hex.get<std::string>(), nullptr, 16));
    };
    for (const auto& [kind, rows] : table.at("kinds").items()) {
        const uint32_t rewritten = word(rows.at("rewritten"));
        for (const auto& row : rows.at("bits")) {
            for (const auto& preset : table.at("presets")) {
                const uint32_t source = word(row.at("source")), host = word(preset);
                EXPECT_EQ(kind == "event" ? Repacked<EventKind>(source, host)
                                          : Repacked<ToDoKind>(source, host),
                          (host & ~rewritten) | word(row.at("host")))
                    << kind << ": " << row.at("what") << ", preset " << preset;
            }
        }
    }
}

}  // namespace
