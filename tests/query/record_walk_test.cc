// Time-window walks over one calendar's events and to-dos.

#include <gmock/gmock.h>

#include "hex.h"
#include "query_store.h"
#include "record_keys.h"
#include "record_kinds.h"

namespace qel2test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;
using qel2query::WalkStep;

// What a time-window read of `cal` lists.
template <typename Kind>
std::vector<std::string> Window(qEL2_CALPROPS* cal, int32_t from, int32_t to, uint32_t flags) {
    array_t* raw = nullptr;
    EXPECT_EQ(Kind::Window(cal, from, to, flags, &raw), 0);
    EXPECT_NE(raw, nullptr);
    std::vector<std::string> names = Names<typename Kind::Record>(raw);
    Kind::FreeList(&raw);
    return names;
}

template <typename Kind>
class RecordWalkTest : public LinkedStoreTest {
protected:
    std::vector<std::string> window(const std::string& calendarId, int32_t from, int32_t to, uint32_t flags = 0) {
        return Window<Kind>(calendar(calendarId).get(), from, to, flags);
    }
    std::vector<std::string> scan(WalkStep step) {
        array_t* raw = nullptr;
        EXPECT_EQ(Kind::Scan(step, home_.get(), &raw, qEL2_READ_TOMBSTONES, [](const void*, const void*) { return 1; }),
                  0);
        std::vector<std::string> names = Names<typename Kind::Record>(raw);
        Kind::FreeList(&raw);
        return names;
    }
};

using Kinds = ::testing::Types<Events, ToDos>;
TYPED_TEST_SUITE(RecordWalkTest, Kinds);

TYPED_TEST(RecordWalkTest, BothWaysOfSteppingVisitTheSameRecordsInKeyOrder) {
    const std::vector<std::string> searched = this->scan(WalkStep::KeySearch);
    EXPECT_EQ(this->scan(WalkStep::CursorNext), searched);
    // The largest recurrence id does not end the walk: the next unique id
    // ("dead", the last hash of the calendar) follows it.
    ASSERT_GE(searched.size(), 2u);
    EXPECT_THAT(searched[searched.size() - 2], ::testing::EndsWith("@" + std::to_string(kLastRecurrence)));
    EXPECT_EQ(searched.back(), "dead@0");
}

TYPED_TEST(RecordWalkTest, AnEmptyCalendarGivesAnEmptyListAndNoWalkLeavesItsCalendar) {
    EXPECT_THAT(this->window("empty", 0, 0, qEL2_READ_TOMBSTONES), IsEmpty());
    // "nowhere" sorts right before home and "ring-a" right after it.
    for (const std::string& name : this->window("home", 0, 0, qEL2_READ_TOMBSTONES)) {
        EXPECT_NE(name, "r@0");
        EXPECT_NE(name, "lost@0");
    }
    EXPECT_THAT(this->window("ring-a", 0, 0), IsEmpty()) << "its one link runs in a cycle";
}

TYPED_TEST(RecordWalkTest, ADamagedValueIsSkippedWithOneErrorLine) {
    const auto names = this->window("home", 0, 0);
    EXPECT_THAT(names, ::testing::Contains("broken@0").Times(0));
    // The record with the largest recurrence id sorts far after the
    // damaged one.
    ASSERT_FALSE(names.empty());
    EXPECT_THAT(names.back(), ::testing::EndsWith("@" + std::to_string(kLastRecurrence)));
    const auto key = qel2mk::MakeEventKey("home", "broken", 0);
    EXPECT_EQ(this->count(3, std::string(TypeParam::kScan) + ": " + TypeParam::kFile + ": value of key " +
                                 qel2mk::ToHex(key.data(), key.size()) + " cannot be decoded (22)\n"),
              1);
    EXPECT_EQ(this->log_.lines().size(), 1u);
}

TEST_F(LinkedStoreTest, EventWindowsAreExclusiveAtBothEnds) {
    auto window = [&](int32_t from, int32_t to, uint32_t flags) { return Window<Events>(home_.get(), from, to, flags); };
    const std::string last = "meet@" + std::to_string(kLastRecurrence);
    EXPECT_THAT(window(kFrom, kTo, 0), UnorderedElementsAre("meet@0", last, "shared@0"));
    EXPECT_THAT(window(kFrom, kTo, qEL2_READ_TOMBSTONES),
                UnorderedElementsAre("meet@0", last, "shared@0", "gone@0", "dead@0"));
    EXPECT_THAT(window(0, kTo, 0),
                UnorderedElementsAre("meet@0", last, "before@0", "after@0", "noend@0", "shared@0"));
    EXPECT_THAT(window(kFrom, 0, 0), UnorderedElementsAre("meet@0", last, "before@0", "after@0", "noend@0", "shared@0"));
    EXPECT_THAT(window(kFrom - 1, kFrom + 1, 0), UnorderedElementsAre("meet@0", "before@0", "shared@0"));
}

TEST_F(LinkedStoreTest, ToDoWindowsIncludeTheStartExcludeTheEndAndKeepOpenToDos) {
    auto window = [&](int32_t from, int32_t to, uint32_t flags) { return Window<ToDos>(home_.get(), from, to, flags); };
    const std::string late = "late@" + std::to_string(kLastRecurrence);
    EXPECT_THAT(window(kFrom, kTo, 0), UnorderedElementsAre("open@0", "atstart@0", "mid@0", late, "shared@0"));
    EXPECT_THAT(window(kFrom, kTo, qEL2_READ_TOMBSTONES),
                UnorderedElementsAre("open@0", "atstart@0", "mid@0", late, "shared@0", "gone@0", "dead@0"));
    EXPECT_THAT(window(0, 1, 0), UnorderedElementsAre("open@0", "atstart@0", "mid@0", "atend@0", "before@0", late,
                                                      "shared@0"));
    EXPECT_THAT(window(kTo, kTo + 1, 0), UnorderedElementsAre("open@0", "atend@0", late, "shared@0"));
}

TEST(WalkKeyTest, PastTheLargestRecurrenceComesTheNextUniqueIdHash) {
    qel2mk::EventKey key{};
    key[31] = 0xff;
    key[30] = 0x01;
    qel2_KeyPutU32(key.data() + 32, kLastRecurrence);
    ASSERT_TRUE(qel2query::AdvanceKey(key.data()));
    EXPECT_EQ(qel2mk::ToHex(key.data() + 16, 20), std::string(28, '0') + "0200" + std::string(8, '0'));
    qel2_KeyPutU32(key.data() + 32, 7);
    ASSERT_TRUE(qel2query::AdvanceKey(key.data()));
    EXPECT_EQ(qel2_KeyGetU32(key.data() + 32), 8u);
    std::fill(key.begin() + 16, key.end(), 0xff);
    EXPECT_FALSE(qel2query::AdvanceKey(key.data())) << "past the largest hash the calendar is exhausted";
}

}  // namespace
}  // namespace qel2test
