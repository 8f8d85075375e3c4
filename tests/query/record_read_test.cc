// Single reads of events and to-dos: tombstones, links and their failures,
// chains and cycles, damaged values. Both kinds run every test.

#include <gmock/gmock.h>

#include "hex.h"
#include "query_store.h"
#include "record_keys.h"
#include "record_kinds.h"

namespace qel2test {
namespace {

template <typename Kind>
class RecordReadTest : public LinkedStoreTest {
protected:
    using Record = typename Kind::Record;
    // Result and record of a single read from `calendar`.
    std::pair<int, typename Kind::Ptr> read(const std::string& calendarId, const char* uid, uint32_t flags = 0,
                                            uint32_t recurrence = 0) {
        qel2mk::CalPropsPtr cal = calendar(calendarId);
        Record* out = nullptr;
        const int result = Kind::Read(cal.get(), uid, recurrence, flags, &out);
        return {result, typename Kind::Ptr(out)};
    }
    // Result of the link step alone, for a link in home to `uid` in `target`.
    int linkStep(const char* uid, const char* target, uint32_t flags = 0) {
        typename Kind::Ptr link = Kind::New();
        qel2mk::SetString(link->pUID, uid);
        qel2mk::SetString(link->pURL, target);
        Record* out = reinterpret_cast<Record*>(&link);  // anything but null
        const int result = Kind::ReadLinked(home_.get(), link.get(), &out, flags);
        typename Kind::Ptr held(out);
        EXPECT_EQ(result == 0, out != nullptr) << uid;
        return result;
    }
};

using Kinds = ::testing::Types<Events, ToDos>;
TYPED_TEST_SUITE(RecordReadTest, Kinds);

TYPED_TEST(RecordReadTest, MissingRecordsAndTombstones) {
    auto [result, record] = this->read("home", "absent");
    EXPECT_EQ(result, 10000);
    EXPECT_EQ(record, nullptr);
    EXPECT_EQ(this->read("home", nullptr).first, 1);
    EXPECT_EQ(this->read("home", "gone").first, 10000);
    auto [shown, gone] = this->read("home", "gone", qEL2_READ_TOMBSTONES);
    EXPECT_EQ(shown, 0);
    ASSERT_NE(gone, nullptr);
    EXPECT_TRUE(gone->flags & TypeParam::kTombstone);
    EXPECT_THAT(this->log_.lines(), ::testing::IsEmpty());
}

TYPED_TEST(RecordReadTest, ALinkIsReplacedByTheRecordItStandsFor) {
    auto [result, record] = this->read("home", "shared");
    ASSERT_EQ(result, 0);
    ASSERT_NE(record, nullptr);
    EXPECT_STREQ(record->pUID, "shared");
    EXPECT_EQ(record->pURL, nullptr) << "the linked record, not the link";
    EXPECT_TRUE(TypeParam::Linked(record.get()));
    EXPECT_STREQ(record->pLinkedCalID, "work");
    EXPECT_EQ(record->RecurrenceID, 0u);
}

TYPED_TEST(RecordReadTest, EachWayALinkFailsHasItsOwnResult) {
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
    auto [result, dead] = this->read("home", "dead", qEL2_READ_TOMBSTONES);
    ASSERT_NE(dead, nullptr);
    EXPECT_TRUE(dead->flags & TypeParam::kTombstone);
    EXPECT_THAT(this->log_.lines(), ::testing::IsEmpty());
}

TYPED_TEST(RecordReadTest, ALinkCycleEndsWithOneErrorLine) {
    auto [result, record] = this->read("ring-a", "r");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(record, nullptr);
    EXPECT_EQ(this->count(3, std::string(TypeParam::kLinked) +
                                 ": more than 8 links in a row, not followed at calendar ring-b, uid r\n"),
              1);
    EXPECT_EQ(this->log_.lines().size(), 1u);
}

TYPED_TEST(RecordReadTest, ADamagedValueFailsItsReadWithOneErrorLine) {
    auto [result, record] = this->read("home", "broken");
    EXPECT_EQ(result, 22);
    EXPECT_EQ(record, nullptr);
    const auto key = qel2mk::MakeEventKey("home", "broken", 0);
    EXPECT_EQ(this->count(3, std::string(TypeParam::kCore) + ": " + TypeParam::kFile + ": value of key " +
                                 qel2mk::ToHex(key.data(), key.size()) + " cannot be decoded (22)\n"),
              1);
    EXPECT_EQ(this->log_.lines().size(), 1u);
}

// Only events are chained in the store.
TEST_F(LinkedStoreTest, AChainOfLinksIsFollowedToItsEnd) {
    qel2mk::CalPropsPtr first = calendar("chain-1");
    qEL2_VEVENT* out = nullptr;
    ASSERT_EQ(qel2_pvt_ReadEvent(first.get(), const_cast<char*>("c"), 0, 0, &out), 0);
    qel2mk::EventPtr event(out);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(event->dtStart, 1500u);
    EXPECT_TRUE(qel2_EventIsLink(event.get()));
    EXPECT_STREQ(event->pLinkedCalID, "chain-2") << "the calendar the first link named";
}

TEST_F(LinkedStoreTest, TheFacadeReadsCoreWithTheHostsDescriptors) {
    qel2BerkeleyDatabase db;
    auto key = qel2mk::MakeEventKey("home", "meet", kLastRecurrence);
    DBT keyDbt{};
    DBT value{};
    keyDbt.data = key.data();
    qEL2_VEVENT* out = nullptr;
    ASSERT_EQ(db.ReadEventCore(&keyDbt, &value, 0, &out), 0);
    qel2mk::EventPtr event(out);
    EXPECT_EQ(event->RecurrenceID, kLastRecurrence);
    EXPECT_EQ(event->dtStart, 2500u);
    EXPECT_EQ(value.data, nullptr) << "the value buffer is released";

    // Without a calendar the self link is followed once; the next hop knows
    // its calendar and refuses it.
    key = qel2mk::MakeEventKey("home", "self", 0);
    keyDbt.data = key.data();
    qEL2_VTODO* todo = nullptr;
    ASSERT_EQ(db.ReadToDoCore(&keyDbt, &value, 0, &todo), 0);
    EXPECT_EQ(todo, nullptr);
    EXPECT_THAT(log_.lines(), ::testing::IsEmpty());
}

}  // namespace
}  // namespace qel2test
