// The walk of a calendar's events or to-dos (the window without bounds)
// against a walk that searches again for the key after each one: both
// follow links, drop tombstones and pass over a damaged value alike.

#include <cstdlib>
#include <cstring>

#include <gmock/gmock.h>

#include "query_store.h"
#include "store_cases.h"

namespace qel2::test {
namespace {

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
    const uint32_t recurrence = qel2_KeyGetU32(key + 32);
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
