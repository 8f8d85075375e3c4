// The queries: every case of the genuine 4.2 store (alone and from four
// threads) and of the stores in tests/data/stores (searches; links, damaged
// values, window boundaries); and the cursor walk against key searches.

#include <cstdlib>
#include <cstring>
#include <thread>

#include <gmock/gmock.h>

#include "query_store.h"
#include "store_cases.h"
#include "support/legacy42_manifest.h"

namespace qel2::test {
namespace {

TEST_F(QueryTest, EveryCaseOfTheGenuineStoreAloneAndFromFourThreads) {
    const std::string command = "tar -xzf '" +
                                (test_data_dir() / "legacy42-store.tar.gz").string() + "' -C '" +
                                dir_.str() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string store = (dir_.path() / "legacy42-store").string();
    // The 4.2 region files need one recovery open.
    qel2BerkeleyDatabase db;
    ASSERT_EQ(db.OpenDB(0, kRecover42, store.data()), 0);
    ASSERT_EQ(db.CloseDB(), 0);
    set("caldb.berkeleydb.checkpointinterval", "1");
    ASSERT_EQ(db.OpenDB(qEL2_THREAD_CHECKPOINT | qEL2_THREAD_DEADLOCK, 0, store.data()), 0);
    log_.clear();  // the recovery reported the old region files

    const auto single = RunCases(Legacy42Manifest());
    for (const auto& [actual, expected] : single) EXPECT_EQ(actual, expected);
    // Not-found results, the mis-cased calendar id among them, log nothing.
    EXPECT_THAT(log_.lines(), ::testing::IsEmpty());

    constexpr int kThreads = 4;
    constexpr int kRounds = 15;
    std::vector<decltype(RunCases(Legacy42Manifest()))> seen(kThreads * kRounds);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int r = 0; r < kRounds; ++r) seen[t * kRounds + r] = RunCases(Legacy42Manifest());
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(RunningThreads(), 2);
    for (const auto& results : seen) ASSERT_EQ(results, single);
}

class WrittenStoreTest : public QueryTest {
protected:
    void expectEveryCase(const char* name) {
        const std::string description = test_data_text(name);
        openStore(description);
        for (const auto& [actual, expected] : RunCases(nlohmann::json::parse(description), &log_))
            EXPECT_EQ(actual, expected);
    }
};

TEST_F(WrittenStoreTest, EveryCaseOfTheSearchStore) { expectEveryCase("stores/search-store.json"); }
TEST_F(WrittenStoreTest, EveryCaseOfTheLinkedStore) { expectEveryCase("stores/linked-store.json"); }

using Names = std::vector<std::string>;

template <typename Record>
std::string Name(const Record* r) {
    return std::string(r->pUID) + "@" + std::to_string(r->RecurrenceID);
}

template <typename Kind>
Names Window(qEL2_CALPROPS* cal, uint32_t flags) {
    array_t* list = nullptr;
    EXPECT_EQ((qel2BerkeleyDatabase().*Kind::Window)(cal, 0, 0, flags, &list), 0);
    Names names;
    for (uint32_t i = 0; list != nullptr && i < list->count; ++i)
        names.push_back(Name(At<typename Kind::Record>(list, i)));
    Kind::FreeList(&list);
    return names;
}

// The smallest key after `key`: the next recurrence id or, past the largest,
// the next unique-id hash at recurrence id 0. False past the largest hash.
bool AdvanceKey(unsigned char* key) {
    const uint32_t recurrence = qel2_KeyRecurrenceId(key);
    qel2_KeyPutU32(key + 32, recurrence + 1);
    if (recurrence != 0xFFFFFFFFu) return true;
    int i = 31;
    while (i >= 16 && ++key[i] == 0) --i;  // carries into the byte before
    return i >= 16;
}

// Searches (DB_SET_RANGE) from the calendar's first key, its hash and then
// zeros, for each key and the one after it; reads each key found alone.
template <typename Kind>
Names KeySearchWalk(qEL2_CALPROPS* cal, uint32_t flags) {
    DBC* cursor = nullptr;
    EXPECT_EQ(Kind::Database()->cursor(Kind::Database(), nullptr, &cursor, 0), 0);
    unsigned char buffer[qEL2_EVENT_KEY_SIZE] = {};
    memcpy(buffer, cal->idHash, sizeof cal->idHash);
    DBT key{}, value{};
    key.data = buffer;
    key.size = key.ulen = sizeof buffer;
    key.flags = DB_DBT_USERMEM;
    value.flags = DB_DBT_MALLOC;
    Names names;
    while (cursor->get(cursor, &key, &value, DB_SET_RANGE) == 0) {
        free(value.data);
        if (qel2_pvt_IdCompare(buffer, cal->idHash) != 0) break;  // the next calendar
        qEL2_DBT readKey{}, readValue{};
        readKey.data = buffer;
        typename Kind::Record* out = nullptr;
        Kind::ReadCore(cal, &readKey, &readValue, flags, &out);
        if (typename Kind::Ptr record(out); record) names.push_back(Name(out));
        if (!AdvanceKey(buffer)) break;
    }
    cursor->close(cursor);
    return names;
}

template <typename Kind>
class RecordQueryTest : public QueryTest {};
using Kinds = ::testing::Types<Events, ToDos>;
TYPED_TEST_SUITE(RecordQueryTest, Kinds);

// On calendar home of tests/data/stores/linked-store.json.
TYPED_TEST(RecordQueryTest, CursorSteppingListsWhatKeySearchSteppingLists) {
    this->openStore(test_data_text("stores/linked-store.json"));
    Names searched;
    for (uint32_t flags : {0u, uint32_t{qEL2_READ_TOMBSTONES}}) {
        searched = KeySearchWalk<TypeParam>(this->calendar("home").get(), flags);
        EXPECT_EQ(Window<TypeParam>(this->calendar("home").get(), flags), searched) << flags;
    }
    // Past the largest recurrence id comes the next unique id, "dead".
    ASSERT_GE(searched.size(), 2u);
    EXPECT_THAT(searched.end()[-2], ::testing::EndsWith("@4294967295"));
    EXPECT_EQ(searched.back(), "dead@0");
}

}  // namespace
}  // namespace qel2::test
