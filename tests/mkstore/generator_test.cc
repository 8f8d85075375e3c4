// Generated stores: deterministic from the seed, the promised record
// layout, and every value readable by the library's decoders.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>

#include <qel2/codec.h>

#include "hex.h"
#include "owned_records.h"
#include "record_keys.h"
#include "store_generator.h"
#include "store_walk.h"
#include "support/temp_dir.h"

namespace {

using qel2mk::Database;

struct Generated {
    qel2test::TempDir dir;
    qel2mk::GenerateSummary summary;
    std::map<Database, std::vector<mkstore_test::Record>> records;
};

std::unique_ptr<Generated> Generate(uint64_t seed) {
    auto store = std::make_unique<Generated>();
    store->summary = qel2mk::GenerateStore({.calendars = 3, .eventsPerCalendar = 40, .todosPerCalendar = 20, .seed = seed},
                                           store->dir.str());
    for (Database database : {Database::CalProps, Database::Events, Database::ToDos, Database::Alarms}) {
        auto contents = mkstore_test::ReadDatabase(store->dir.str(), database);
        EXPECT_EQ(contents.verifyResult, 0) << qel2mk::DatabaseFile(database);
        store->records[database] = std::move(contents.records);
    }
    return store;
}

TEST(StoreGenerator, TheSeedDecidesTheStoreWhoseRecordsFollowTheLayoutAndDecode) {
    auto store = Generate(5), again = Generate(5), other = Generate(6);
    EXPECT_EQ(store->records, again->records);
    EXPECT_NE(store->records[Database::Events], other->records[Database::Events]);
    EXPECT_EQ(store->summary.events, 120u);
    const size_t counts[] = {store->records[Database::CalProps].size(), store->records[Database::Events].size(),
                             store->records[Database::ToDos].size(), store->records[Database::Alarms].size()};
    EXPECT_THAT(counts, testing::ElementsAre(3u, 120u, 60u, store->summary.alarmRecords));

    std::set<qel2mk::Bytes> keys;
    for (const auto& [key, value] : store->records[Database::Events]) keys.insert(key);
    int links = 0, tombstones = 0, instances = 0;
    for (const auto& [key, value] : store->records[Database::Events]) {
        qel2::EventPtr event = qel2mk::NewEvent();
        ASSERT_EQ(qel2_pvt_DeserializeEvent(event.get(), value.data(), value.size()), 0);
        ASSERT_NE(event->pUID, nullptr);
        instances += qel2_KeyGetU32(key.data() + 32) != 0;
        tombstones += qel2_EventTombstone(event->flags);
        if (!qel2_EventIsLink(event.get())) continue;
        ++links;
        // The link leads to a stored event of another calendar.
        qel2mk::EventKey target = qel2mk::MakeEventKey(event->pURL, event->pUID, 0);
        EXPECT_TRUE(keys.contains(qel2mk::Bytes(target.begin(), target.end()))) << event->pUID;
        EXPECT_NE(qel2tools::ToHex(key.data(), 16), qel2tools::ToHex(target.data(), 16));
    }
    // Per calendar of 40: indices 7 and 27 link, 13 is a tombstone, and
    // four recurring masters (4, 14, 24, 34) have two instances each.
    EXPECT_EQ(links, 3 * 2);
    EXPECT_EQ(tombstones, 3 * 1);
    EXPECT_EQ(instances, 3 * 8);
    for (const auto& [key, value] : store->records[Database::ToDos]) {
        qel2::ToDoPtr todo = qel2mk::NewToDo();
        EXPECT_EQ(qel2_pvt_DeserializeToDo(todo.get(), value.data(), value.size()), 0);
    }
}

}  // namespace
