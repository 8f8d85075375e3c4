// Events, to-dos and calendars into the server's records: one check per
// group of mapped fields, flag words and access lists, what is printed.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>
#include <tuple>
#include <vector>

#include "mapping_fixtures.h"
#include "owned_records.h"
#include "support/pr_capture.h"
#include "support/string_list.h"

namespace {

using namespace qel2::test;
using Texts = std::vector<std::string>;

// Host strings ("(null)") and lists (elements joined by commas, "(no list)").
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

// Under AddressSanitizer a field shared with the source, released before
// the checks, shows as a use after free, and a release of what the host
// left in a field (static and stack memory here) as a bad free.
TYPED_TEST(ItemMapping, EveryFieldIsCopiedIntoItsPlaceAndOutlivesTheSource) {
    ItemPair<TypeParam> pair;
    static char hostText[] = "the host's own";
    array_t hostList{};
    CALDB_ORGANIZER hostOrganizer{};
    auto& t = *pair.target;
    t.summary = t.uid = t.extra1 = hostText;
    t.rdates = t.attendees = t.alarms = &hostList;
    t.organizer = &hostOrganizer;
    t.cleared_word = 99;
    t.alarm_selector = -1;  // any but 0: server alarms
    const int64_t before = time(nullptr);
    ASSERT_EQ(pair.Map(), 0);
    const int64_t after = time(nullptr);
    TypeParam::Free(&pair.source);
    EXPECT_STREQ(hostText, "the host's own");
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

// A link keeps the target's uid, organizer address, attendees and alarms
// (its calendar's) and prints no counts, others print them at trace level 2.
// The target's default organizer stands in, sent by the address but a link's.
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

template <typename Kind>
uint32_t Repacked(uint32_t source, uint32_t preset) {
    ItemPair<Kind> pair;
    pair.source->flags = source;
    pair.target->flags = preset;
    EXPECT_EQ(pair.Map(), 0);
    return pair.target->flags;
}

// Each row of tests/data/mapping/flag-repacking.json over each preset word.
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

// Calendar `id` of `owner` mapped into a host record. Read and write level
// 3 ("control") add no access-list entries of their own.
struct Calendar {
    qel2::CalPropsPtr source = qel2::mkstore::NewCalProps();
    CALDB_CALPROPS* target = caldb_NewCalProps();
    Calendar(const char* id, const char* owner, uint32_t access = 0x33) {
        source->accessFlags = access;
        if (id) qel2::mkstore::SetString(source->pRelativeCalID, id);
        if (owner) qel2::mkstore::SetString(source->pPrimaryOwner, owner);
    }
    ~Calendar() { caldb_FreeCalProps(&target); }
    int32_t Map(int32_t s, int32_t f, PRFileDesc* out = nullptr, int32_t print = 0,
                int32_t trace = 0) {
        return CalPropsMapping(source.get(), &target, s, f, print, out, trace);
    }
    // "principal rights inherit" of each entry, each a grant in this scope.
    Texts Acl() const {
        Texts entries;
        for (uint32_t i = 0; target->acl != nullptr && i < target->acl->count; ++i) {
            const auto* ace = static_cast<const CALDB_ACE*>(array_elementat(target->acl, i));
            EXPECT_EQ(std::pair(ace->grant, ace->scope), std::pair(1, 1));
            entries.push_back(std::string(ace->principal) + " " + ace->rights + " " +
                              std::to_string(ace->inherit));
        }
        return entries;
    }
};

// The rights of "@" on the owner's own calendar and on any other for each
// pair of policies; a missing owner or id never makes the owner's calendar.
TEST(CalPropsMapping, EveryonePolicyGivesItsRights) {
    const struct {
        int32_t s, f;
        const char *own, *other;
    } policies[] = {{0, 0, "sf", "sf"}, {0, 1, "sf", "s"}, {0, 2, "s", "s"}, {1, 0, "sf", "f"},
                    {1, 1, "sf", ""},   {1, 2, "s", ""},   {2, 0, "f", "f"}, {2, 1, "f", ""},
                    {2, 2, "", ""},     {3, 0, "", ""},    {0, -1, "", ""},  {-1, 1, "", ""},
                    {0, 3, "", ""}};
    for (const auto& p : policies) {
        for (auto [id, owner, rights] : {std::tuple{"jdoe", "jdoe", p.own},
                                         {"jdoe-team", "jdoe", p.other},
                                         {nullptr, "jdoe", p.other},
                                         {"jdoe", nullptr, p.other}}) {
            Calendar cal(id, owner);
            ASSERT_EQ(cal.Map(p.s, p.f), 0);
            EXPECT_EQ(cal.Acl(), *rights ? Texts{std::string("@ ") + rights + " 1"} : Texts{})
                << "policies " << p.s << " " << p.f << ", " << (id ? id : "-") << " of "
                << (owner ? owner : "-");
        }
    }
}

// Other owners go into the access list, last, never into the owners list.
TEST(CalPropsMapping, AccessLevelEntriesComeFirstThenEveryoneThenOwners) {
    Calendar cal("team", "jdoe", 0x02 | 0x40);  // read domain, write level 4 (primary)
    cal.source->pOtherOwners = StringList({"a", "b"});
    ASSERT_EQ(cal.Map(0, 2), 0);
    EXPECT_EQ(cal.Acl(), (Texts{"@domain r 1", "@primary w 0", "@ s 1", "a r 1", "a wd 0", "b r 1",
                                "b wd 0"}));
    ASSERT_NE(cal.target->owners, nullptr);
    EXPECT_EQ(cal.target->owners->count, 0u);
}

// The source is released before the checks, as above.
TEST(CalPropsMapping, CopiesFieldsAndAccessBitsKeepsTheServersBits) {
    Calendar cal("team", "jdoe", 0x1 | 0x4 << 4 | qEL2_CAL_FLAG8 | qEL2_CAL_DISABLED | 0xFFFFFC00u);
    cal.target->access_flags = 0xA5A5ADA5u;  // bit 11 set; bits 10 and 12-31 are the server's
    cal.source->pParentCalID = strdup("root");
    cal.source->pChildList = StringList({"c1", "c2"});
    cal.source->lHostData3 = 77;
    ASSERT_EQ(cal.Map(2, 2), 0);
    cal.source.reset();
    // Read 1, write 4, flag8 and disabled copied, flag 11 cleared.
    EXPECT_EQ(cal.target->access_flags,
              (0xA5A5ADA5u & 0xFFFFF400u) | 0x1 | 0x4 << 4 | 0x100 | 0x200);
    EXPECT_EQ((Texts{cal.target->parent_calid, cal.target->primary_owner}),
              (Texts{"root", "jdoe"}));
    EXPECT_EQ(cal.target->description, nullptr);
    EXPECT_EQ(qel2::test::Strings(cal.target->children), (Texts{"c1", "c2"}));
    EXPECT_EQ(cal.target->categories->count, 0u);  // absent lists give empty arrays
    EXPECT_EQ(cal.target->host_data3, 77u);
}

TEST(CalPropsMapping, PrintsThePrimaryOwnerWhenAskedOrTracing) {
    for (auto [print, trace, printed] : {std::tuple{0, 0, false}, {0, 1, true}, {1, 0, true}}) {
        Calendar cal("team", "jdoe");
        qel2::test::PrCapture out;
        ASSERT_EQ(cal.Map(2, 2, out.fd(), print, trace), 0);
        EXPECT_EQ(out.text(), printed ? "Primary Owner: jdoe\n" : "") << print << "/" << trace;
    }
}

}  // namespace
