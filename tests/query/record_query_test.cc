// Events and to-dos read one by one and walked by time window: links and
// each way they fail, chains and cycles, damaged values, window boundaries.
// Both kinds run the shared tests.

#include <cstdlib>

#include <gmock/gmock.h>

#include "hex.h"
#include "query_store.h"
#include "record_keys.h"
#include "query_kinds.h"

namespace qel2::test {
namespace {

using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

// What a time-window read of `cal` lists.
template <typename Kind>
std::vector<std::string> Window(qEL2_CALPROPS* cal, int32_t from, int32_t to, uint32_t flags = 0) {
    array_t* raw = nullptr;
    EXPECT_EQ(Kind::Window(cal, from, to, flags, &raw), 0);
    EXPECT_NE(raw, nullptr);
    std::vector<std::string> names = Names<typename Kind::Record>(raw);
    Kind::FreeList(&raw);
    return names;
}

// The smallest key after `key`: the next recurrence id or, past 4294967295,
// the next unique-id hash at recurrence id 0. False past the largest hash.
bool AdvanceKey(unsigned char* key) {
    const uint32_t recurrence = qel2_KeyGetU32(key + 32);
    qel2_KeyPutU32(key + 32, recurrence + 1);  // 0 past the largest
    if (recurrence != kLastRecurrence) return true;
    int i = 31;
    while (i >= 16 && ++key[i] == 0) --i;  // carries into the byte before
    return i >= 16;
}

// What a walk of `cal` lists when it searches again (DB_SET_RANGE) for the
// key after each one instead of stepping the cursor. The single read of
// each key found follows a link and drops a tombstone as the walk does.
template <typename Kind>
std::vector<std::string> KeySearchWalk(qEL2_CALPROPS* cal, uint32_t flags) {
    DBC* cursor = nullptr;
    EXPECT_EQ(Kind::Database()->cursor(Kind::Database(), nullptr, &cursor, 0), 0);
    unsigned char buffer[qEL2_EVENT_KEY_SIZE];
    qEL2_DBT locate;
    qEL2_DBT locateValue;
    qel2_KeyLocateByCalendar(&locate, &locateValue, buffer, cal);
    // The same search in the linked library's descriptors.
    DBT key{}, value{};
    key.data = locate.data;
    key.size = locate.size;
    key.ulen = locate.ulen;
    key.flags = DB_DBT_USERMEM;
    value.flags = DB_DBT_MALLOC;
    std::vector<std::string> names;
    while (cursor->get(cursor, &key, &value, DB_SET_RANGE) == 0) {
        free(value.data);
        if (qel2_pvt_IdCompare(buffer, cal->idHash) != 0) break;  // the next calendar
        qEL2_DBT readKey{}, readValue{};
        readKey.data = buffer;
        typename Kind::Record* out = nullptr;
        Kind::ReadCore(cal, &readKey, &readValue, flags, &out);
        if (typename Kind::Ptr record(out); record) names.push_back(Name(record.get()));
        if (!AdvanceKey(buffer)) break;
    }
    cursor->close(cursor);
    return names;
}

template <typename Kind>
class RecordQueryTest : public LinkedStoreTest {
protected:
    using Record = typename Kind::Record;
    std::pair<int, typename Kind::Ptr> read(const std::string& calendarId, const char* uid,
                                            uint32_t flags = 0) {
        qel2::CalPropsPtr cal = calendar(calendarId);
        Record* out = nullptr;
        const int result = Kind::Read(cal.get(), uid, 0, flags, &out);
        return {result, typename Kind::Ptr(out)};
    }
    // Result of the link step alone, for a link in home to `uid` in `target`.
    int linkStep(const char* uid, const char* target, uint32_t flags = 0) {
        typename Kind::Ptr link = Kind::New();
        qel2::mkstore::SetString(link->pUID, uid);
        qel2::mkstore::SetString(link->pURL, target);
        Record* out = reinterpret_cast<Record*>(&link);  // anything but null
        const int result = Kind::ReadLinked(home_.get(), link.get(), &out, flags);
        typename Kind::Ptr held(out);
        EXPECT_EQ(result == 0, out != nullptr) << uid;
        return result;
    }
    std::vector<std::string> window(const std::string& calendarId, uint32_t flags = 0) {
        return Window<Kind>(calendar(calendarId).get(), 0, 0, flags);
    }
    // How often `function` reported the damaged value of "broken" in home.
    int damagedReports(const char* function) const {
        const auto key = qel2::mkstore::MakeEventKey("home", "broken", 0);
        return count(3, std::string(function) + ": " + Kind::kFile + ": value of key " +
                            qel2::tools::ToHex(key.data(), key.size()) +
                            " cannot be decoded (22)\n");
    }
};

using Kinds = ::testing::Types<Events, ToDos>;
TYPED_TEST_SUITE(RecordQueryTest, Kinds);

// Plain reads, tombstones and links that work are checked on the genuine
// store (legacy_store_query_test.cc); here, what it does not hold.
TYPED_TEST(RecordQueryTest, EachWayALinkFailsHasItsOwnResult) {
    EXPECT_EQ(this->read("home", nullptr).first, 1) << "no uid";
    EXPECT_EQ(this->linkStep("dead", "work"), 2) << "tombstone at the end of the link";
    EXPECT_EQ(this->linkStep("dead", "work", qEL2_READ_TOMBSTONES), 0);
    EXPECT_EQ(this->linkStep("self", "home"), 3);
    EXPECT_EQ(this->linkStep("lost", "nowhere"), 1);
    EXPECT_EQ(this->linkStep("orphan", "work"), 2);
    // The single read returns 0 without a record for each of them.
    for (const char* uid : {"dead", "self", "lost", "orphan"}) {
        auto [result, record] = this->read("home", uid);
        EXPECT_EQ(result, 0) << uid;
        EXPECT_EQ(record, nullptr) << uid;
    }
    EXPECT_NE(this->read("home", "dead", qEL2_READ_TOMBSTONES).second, nullptr);
    EXPECT_THAT(this->log_.lines(), IsEmpty());
}

TYPED_TEST(RecordQueryTest, ALinkCycleEndsWithOneErrorLineAndAnEmptyWindow) {
    auto [result, record] = this->read("ring-a", "r");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(record, nullptr);
    EXPECT_EQ(this->count(
                  3, std::string(TypeParam::kReadLinked) +
                         ": more than 8 links in a row, not followed at calendar ring-b, uid r\n"),
              1);
    EXPECT_EQ(this->log_.lines().size(), 1u);
    EXPECT_THAT(this->window("ring-a"), IsEmpty());
}

TYPED_TEST(RecordQueryTest, ADamagedValueFailsItsReadAndIsSkippedByTheWalk) {
    auto [result, record] = this->read("home", "broken");
    EXPECT_EQ(result, 22);
    EXPECT_EQ(record, nullptr);
    EXPECT_EQ(this->damagedReports(TypeParam::kReadCore), 1);
    EXPECT_EQ(this->log_.lines().size(), 1u);

    // That the walk leaves the record out and goes on past it, the
    // comparison with key-search stepping shows.
    this->log_.clear();
    this->window("home");
    EXPECT_EQ(this->damagedReports(TypeParam::kScan), 1);
    EXPECT_EQ(this->log_.lines().size(), 1u);
}

TYPED_TEST(RecordQueryTest, CursorSteppingListsWhatKeySearchSteppingLists) {
    std::vector<std::string> searched;
    for (uint32_t flags : {0u, uint32_t{qEL2_READ_TOMBSTONES}}) {
        searched = KeySearchWalk<TypeParam>(this->home_.get(), flags);
        EXPECT_EQ(Window<TypeParam>(this->home_.get(), 0, 0, flags), searched) << flags;
    }
    // Past the largest recurrence id comes the next unique id, "dead".
    ASSERT_GE(searched.size(), 2u);
    EXPECT_THAT(searched.end()[-2], ::testing::EndsWith("@" + std::to_string(kLastRecurrence)));
    EXPECT_EQ(searched.back(), "dead@0");
}

TYPED_TEST(RecordQueryTest, AnEmptyCalendarGivesAnEmptyList) {
    EXPECT_THAT(this->window("empty", qEL2_READ_TOMBSTONES), IsEmpty());
}

// Only events are chained, and mixed, in the store.
TEST_F(LinkedStoreTest, LinksAreFollowedThroughChainsAndIntoSeveralCalendarsInOneWalk) {
    qel2::CalPropsPtr first = calendar("chain-1");
    qEL2_VEVENT* out = nullptr;
    ASSERT_EQ(qel2_pvt_ReadEvent(first.get(), const_cast<char*>("c"), 0, 0, &out), 0);
    qel2::EventPtr event(out);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(event->dtStart, 1500u);
    EXPECT_STREQ(event->pLinkedCalID, "chain-2") << "the calendar the first link named";

    // One walk whose links lead into two calendars: each record from its own.
    array_t* raw = nullptr;
    ASSERT_EQ(qel2_pvt_ReadEventListByRange(calendar("mixed").get(), 0, 0, 0, &raw), 0);
    qel2::EventListPtr list(raw);
    std::vector<std::string> seen;
    for (uint32_t i = 0; i < raw->count; ++i) {
        const qEL2_VEVENT* e = At<qEL2_VEVENT>(raw, i);
        seen.push_back(std::string(e->pUID) + " " + std::to_string(e->dtStart) + " from " +
                       e->pLinkedCalID);
    }
    EXPECT_THAT(seen, UnorderedElementsAre("shared 90000 from work", "workonly 1500 from work",
                                           "c 1500 from chain-3"));
}

TEST_F(LinkedStoreTest, EventWindowsAreExclusiveAtBothEnds) {
    auto window = [&](int32_t from, int32_t to, uint32_t flags = 0) {
        return Window<Events>(home_.get(), from, to, flags);
    };
    const std::string last = "meet@" + std::to_string(kLastRecurrence);
    EXPECT_THAT(window(kFrom, kTo), UnorderedElementsAre("meet@0", last, "shared@0"));
    EXPECT_THAT(window(kFrom, kTo, qEL2_READ_TOMBSTONES),
                UnorderedElementsAre("meet@0", last, "shared@0", "gone@0", "dead@0"));
    for (auto [from, to] : {std::pair{0u, kTo}, {kFrom, 0u}}) {
        EXPECT_THAT(window(from, to), UnorderedElementsAre("meet@0", last, "before@0", "after@0",
                                                           "noend@0", "shared@0"));
    }
    EXPECT_THAT(window(kFrom - 1, kFrom + 1),
                UnorderedElementsAre("meet@0", "before@0", "shared@0"));
    // The whole calendar, past the largest recurrence id and no further.
    EXPECT_THAT(window(0, 0, qEL2_READ_TOMBSTONES),
                UnorderedElementsAre("meet@0", last, "before@0", "after@0", "noend@0", "shared@0",
                                     "gone@0", "dead@0"));
}

TEST_F(LinkedStoreTest, ToDoWindowsIncludeTheStartExcludeTheEndAndKeepOpenToDos) {
    auto window = [&](int32_t from, int32_t to, uint32_t flags = 0) {
        return Window<ToDos>(home_.get(), from, to, flags);
    };
    const std::string late = "late@" + std::to_string(kLastRecurrence);
    EXPECT_THAT(window(kFrom, kTo),
                UnorderedElementsAre("open@0", "atstart@0", "mid@0", late, "shared@0"));
    EXPECT_THAT(
        window(kFrom, kTo, qEL2_READ_TOMBSTONES),
        UnorderedElementsAre("open@0", "atstart@0", "mid@0", late, "shared@0", "gone@0", "dead@0"));
    EXPECT_THAT(window(0, 1), UnorderedElementsAre("open@0", "atstart@0", "mid@0", "atend@0",
                                                   "before@0", late, "shared@0"));
    EXPECT_THAT(window(kTo, kTo + 1), UnorderedElementsAre("open@0", "atend@0", late, "shared@0"));
    EXPECT_THAT(window(0, 0, qEL2_READ_TOMBSTONES),
                UnorderedElementsAre("open@0", "atstart@0", "mid@0", "atend@0", "before@0", late,
                                     "gone@0", "shared@0", "dead@0"));
}

}  // namespace
}  // namespace qel2::test
