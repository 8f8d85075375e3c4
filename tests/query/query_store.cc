#include "query_store.h"

#include <cstring>

#include <nlohmann/json.hpp>

#include "record_keys.h"
#include "store_description.h"

namespace qel2::test {

std::string HashedIds(const array_t* list) {
    std::string text;
    for (uint32_t i = 0; i < list->count; ++i) {
        const qEL2_CALPROPS* cal = At<qEL2_CALPROPS>(list, i);
        const bool hashed =
            qel2_CalHashValid(cal) &&
            memcmp(cal->idHash, qel2::mkstore::Md5(cal->pRelativeCalID).data(), 16) == 0;
        text += std::string(" ") + cal->pRelativeCalID + (hashed ? "#" : "");
    }
    return text;
}

void QueryTest::openStore(const char* description) {
    qel2::mkstore::WriteStore(qel2::mkstore::PlanStore(nlohmann::json::parse(description)),
                              dir_.str());
    ASSERT_EQ(open(0), 0);
    log_.clear();
}

qel2::CalPropsPtr QueryTest::calendar(const std::string& id) {
    qEL2_CALPROPS* cal = nullptr;
    EXPECT_EQ(qel2_pvt_ReadCalProps(const_cast<char*>(id.c_str()), &cal), 0) << id;
    return qel2::CalPropsPtr(cal);
}

namespace {

// Events end and to-dos are completed at kFrom = 1000 and kTo = 3000; an
// event without times that names a calendar in pURL is a link, a to-do
// link carries bLink. 4294967295 is the largest recurrence id. The value
// of "broken" is damaged: a string list whose count runs past its end.
constexpr const char* kLinkedStore = R"({
  "calendars": [{"id": "home"}, {"id": "work"}, {"id": "empty"}, {"id": "chain-1"}, {"id": "chain-2"},
                {"id": "chain-3"}, {"id": "ring-a"}, {"id": "ring-b"}, {"id": "mixed"}],
  "events": [
    {"calendar": "home", "uid": "meet", "fields": {"dtStart": 1000, "dtEnd": 2000}},
    {"calendar": "home", "uid": "meet", "recurrence_id": 4294967295, "fields": {"dtStart": 2500, "dtEnd": 2600}},
    {"calendar": "home", "uid": "before", "fields": {"dtStart": 500, "dtEnd": 1000}},
    {"calendar": "home", "uid": "after", "fields": {"dtStart": 3000, "dtEnd": 4000}},
    {"calendar": "home", "uid": "noend", "fields": {"dtStart": 1500}},
    {"calendar": "home", "uid": "gone", "fields": {"dtStart": 1500, "dtEnd": 1600, "flags": {"Tombstone": 1}}},
    {"calendar": "home", "uid": "shared", "fields": {"pURL": "work"}},
    {"calendar": "home", "uid": "dead", "fields": {"pURL": "work"}},
    {"calendar": "home", "uid": "self", "fields": {"pURL": "home"}},
    {"calendar": "home", "uid": "lost", "fields": {"pURL": "nowhere"}},
    {"calendar": "home", "uid": "orphan", "fields": {"pURL": "work"}},
    {"calendar": "home", "uid": "broken", "raw_value_hex": "00000001000000027fffffff"},
    {"calendar": "work", "uid": "shared", "fields": {"dtStart": 90000, "dtEnd": 91000}},
    {"calendar": "work", "uid": "dead", "fields": {"dtStart": 90000, "dtEnd": 91000, "flags": {"Tombstone": 1}}},
    {"calendar": "work", "uid": "workonly", "fields": {"dtStart": 1500, "dtEnd": 1600}},
    {"calendar": "nowhere", "uid": "lost", "fields": {"dtStart": 1500, "dtEnd": 1600}},
    {"calendar": "chain-1", "uid": "c", "fields": {"pURL": "chain-2"}},
    {"calendar": "chain-2", "uid": "c", "fields": {"pURL": "chain-3"}},
    {"calendar": "chain-3", "uid": "c", "fields": {"dtStart": 1500, "dtEnd": 1600}},
    {"calendar": "ring-a", "uid": "r", "fields": {"pURL": "ring-b"}},
    {"calendar": "ring-b", "uid": "r", "fields": {"pURL": "ring-a"}},
    {"calendar": "mixed", "uid": "shared", "fields": {"pURL": "work"}},
    {"calendar": "mixed", "uid": "workonly", "fields": {"pURL": "work"}},
    {"calendar": "mixed", "uid": "c", "fields": {"pURL": "chain-3"}}],
  "todos": [
    {"calendar": "home", "uid": "open"},
    {"calendar": "home", "uid": "atstart", "fields": {"dtCompleted": 1000}},
    {"calendar": "home", "uid": "mid", "fields": {"dtCompleted": 2000}},
    {"calendar": "home", "uid": "atend", "fields": {"dtCompleted": 3000}},
    {"calendar": "home", "uid": "before", "fields": {"dtCompleted": 999}},
    {"calendar": "home", "uid": "late", "recurrence_id": 4294967295},
    {"calendar": "home", "uid": "gone", "fields": {"flags": {"Tombstone": 1}}},
    {"calendar": "home", "uid": "shared", "fields": {"pURL": "work", "flags": {"bLink": 1}}},
    {"calendar": "home", "uid": "dead", "fields": {"pURL": "work", "flags": {"bLink": 1}}},
    {"calendar": "home", "uid": "self", "fields": {"pURL": "home", "flags": {"bLink": 1}}},
    {"calendar": "home", "uid": "lost", "fields": {"pURL": "nowhere", "flags": {"bLink": 1}}},
    {"calendar": "home", "uid": "orphan", "fields": {"pURL": "work", "flags": {"bLink": 1}}},
    {"calendar": "home", "uid": "broken", "raw_value_hex": "00000001000000027fffffff"},
    {"calendar": "work", "uid": "shared", "fields": {"dtCompleted": 90000}},
    {"calendar": "work", "uid": "dead", "fields": {"flags": {"Tombstone": 1}}},
    {"calendar": "nowhere", "uid": "lost"},
    {"calendar": "ring-a", "uid": "r", "fields": {"pURL": "ring-b", "flags": {"bLink": 1}}},
    {"calendar": "ring-b", "uid": "r", "fields": {"pURL": "ring-a", "flags": {"bLink": 1}}}]
})";

}  // namespace

void LinkedStoreTest::SetUp() {
    QueryTest::SetUp();
    openStore(kLinkedStore);
    home_ = calendar("home");
}

}  // namespace qel2::test
