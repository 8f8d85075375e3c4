// Record keys: the digests and keys a Berkeley DB 4.2 server stored, and
// the three key orders. (The range search's key set-up is read through by
// every query suite on threaded handles, which refuse a key set up wrong.)

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include <qel2/key_order.h>

#include "hex.h"
#include "support/legacy42_manifest.h"

namespace {

using Key36 = std::array<unsigned char, 36>;

DBT Dbt(void* data, uint32_t size) {
    DBT dbt{};
    dbt.data = data;
    dbt.size = size;
    return dbt;
}

qEL2_CALPROPS CalendarWithHash(const std::string& id) {
    qEL2_CALPROPS cal{};
    qel2_pvt_MD5Hash(id.c_str(), cal.idHash);
    cal.pvtFlags = qEL2_CAL_HASH_VALID;
    return cal;
}

Key36 EventKey(const std::string& calendar, const std::string& uid, uint32_t rid) {
    qEL2_CALPROPS cal = CalendarWithHash(calendar);
    Key36 key{};
    qel2_pvt_CompHashCore(&cal, uid.c_str(), rid, key.data());
    return key;
}

TEST(RecordKeys, EveryKeyOfTheGenuineStoreIsRebuilt) {
    const auto& manifest = qel2::test::Legacy42Manifest();
    for (const auto& calendar : manifest.at("calendars")) {
        qEL2_CALPROPS cal = CalendarWithHash(calendar.at("id"));
        EXPECT_EQ(qel2::tools::ToHex(cal.idHash, 16), calendar.at("key_md5")) << calendar.at("id");
    }
    for (const char* section : {"events", "todos"}) {
        for (const auto& item : manifest.at(section)) {
            Key36 key = EventKey(item.at("calendar"), item.at("uid"), item.at("recurrence_id"));
            EXPECT_EQ(qel2::tools::ToHex(key.data(), key.size()), item.at("key_hex"))
                << item.at("uid");
            EXPECT_EQ(qel2_KeyGetU32(key.data() + 32), item.at("recurrence_id").get<uint32_t>());
        }
    }
}

// Digests compare as unsigned bytes; an event's recurrence id as a number
// (little-endian, so not byte by byte); an alarm key by its leading value,
// then the identifier, then the trailing value.
TEST(RecordKeys, ComparisonsOrderAsTheStoreDoes) {
    unsigned char a[16] = {0x7F}, b[16] = {0x80};
    DBT x = Dbt(a, 16), y = Dbt(b, 16);
    EXPECT_EQ(CalPropsKeyCompare(nullptr, &x, &y), -1);
    EXPECT_EQ(CalPropsKeyCompare(nullptr, &y, &x), 1);
    EXPECT_EQ(CalPropsKeyCompare(nullptr, &x, &x), 0);

    Key36 one = EventKey("jdoe", "evt", 1), big = EventKey("jdoe", "evt", 256);
    DBT first = Dbt(one.data(), 36), second = Dbt(big.data(), 36);
    EXPECT_EQ(EventKeyCompare(nullptr, &first, &second), -1);
    EXPECT_EQ(EventKeyCompare(nullptr, &second, &first), 1);

    unsigned char high[24] = {}, low[24] = {}, lowLaterId[24] = {}, lowLaterTrail[24] = {};
    qel2_KeyPutU32(high, 0xFFFFFFFFu);
    qel2_KeyPutU32(low, 1);
    memcpy(lowLaterId, low, 24);
    lowLaterId[4] = 0x80;
    memcpy(lowLaterTrail, low, 24);
    qel2_KeyPutU32(lowLaterTrail + 20, 2);
    DBT h = Dbt(high, 24), l = Dbt(low, 24), li = Dbt(lowLaterId, 24), lt = Dbt(lowLaterTrail, 24);
    EXPECT_EQ(AlarmKeyCompare(nullptr, &l, &h), -1);
    EXPECT_EQ(AlarmKeyCompare(nullptr, &l, &li), -1);
    EXPECT_EQ(AlarmKeyCompare(nullptr, &l, &lt), -1);
    EXPECT_EQ(AlarmKeyCompare(nullptr, &li, &lt), 1);
}

}  // namespace
