// Record keys: MD5 digests, the three key orders, and cursor set-up, also
// against a real Berkeley DB B-tree with the comparisons installed.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include <qel2/keys.h>

namespace {

using Key36 = std::array<unsigned char, 36>;

std::string Hex(const unsigned char* bytes, size_t n) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

std::string Md5Hex(const char* text) {
    unsigned char digest[16];
    qel2_pvt_MD5Hash(text, digest);
    return Hex(digest, 16);
}

DBT Dbt(void* data, uint32_t size) {
    DBT dbt{};
    dbt.data = data;
    dbt.size = size;
    return dbt;
}

qEL2_CALPROPS CalendarWithHash(const char* id) {
    qEL2_CALPROPS cal{};
    qel2_pvt_MD5Hash(id, cal.idHash);
    cal.pvtFlags = qEL2_CAL_HASH_VALID;
    return cal;
}

Key36 EventKey(const char* calendar, const char* uid, uint32_t rid) {
    qEL2_CALPROPS cal = CalendarWithHash(calendar);
    Key36 key{};
    qel2_pvt_CompHashCore(&cal, uid, rid, key.data());
    return key;
}

TEST(RecordKeys, CalendarKeyIsThePlainMd5OfTheId) {
    // RFC 1321 test vectors.
    EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Md5Hex("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(Md5Hex("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(Md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(Md5Hex("1234567890123456789012345678901234567890123456789012345678901234567890"
                     "1234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(RecordKeys, EventKeyEqualsTheKeyOfTheGenuineStore) {
    // jdoe / evt-weekly / 1138024800 as a Berkeley DB 4.2 server stored it.
    Key36 key = EventKey("jdoe", "evt-weekly", 1138024800);
    EXPECT_EQ(Hex(key.data(), 36),
              "a31405d272b94e5d12e9a52a665d3bfeda5c3a3a5598f186dd58c102626ecc1c60e1d443");
    EXPECT_EQ(qel2_KeyGetU32(key.data() + 32), 1138024800u);
}

TEST(RecordKeys, HashBytesCompareUnsigned) {
    unsigned char a[16] = {0x7F};
    unsigned char b[16] = {0x80};
    EXPECT_EQ(qel2_pvt_IdCompare(a, b), -1);
    EXPECT_EQ(qel2_pvt_IdCompare(b, a), 1);
    EXPECT_EQ(qel2_pvt_IdCompare(a, a), 0);
    DBT x = Dbt(a, 16), y = Dbt(b, 16);
    EXPECT_EQ(CalPropsKeyCompare(nullptr, &x, &y), -1);
}

TEST(RecordKeys, RecurrenceIdComparesAsANumberNotAsBytes) {
    Key36 one = EventKey("jdoe", "evt", 1);    // 01 00 00 00
    Key36 big = EventKey("jdoe", "evt", 256);  // 00 01 00 00
    DBT a = Dbt(one.data(), 36), b = Dbt(big.data(), 36);
    EXPECT_EQ(EventKeyCompare(nullptr, &a, &b), -1);
    EXPECT_EQ(EventKeyCompare(nullptr, &b, &a), 1);
    EXPECT_EQ(EventKeyCompare(nullptr, &a, &a), 0);
}

TEST(RecordKeys, AlarmKeysOrderByLeadingValueThenIdThenTrailingValue) {
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

TEST(RecordKeys, LocateByCalendarPreparesASixteenByteRangeSearch) {
    qEL2_CALPROPS cal = CalendarWithHash("jdoe");
    DBT key, data;
    memset(&key, 0xAB, sizeof key);
    memset(&data, 0xAB, sizeof data);
    unsigned char buffer[36];
    memset(buffer, 0xAB, sizeof buffer);
    EXPECT_EQ(qel2_KeyLocateByCalendar(&key, &data, buffer, &cal), &key);
    EXPECT_EQ(key.data, buffer);
    EXPECT_EQ(key.size, 16u);
    EXPECT_EQ(key.ulen, 36u);
    EXPECT_EQ(key.flags, static_cast<uint32_t>(DB_DBT_USERMEM));
    EXPECT_EQ(data.flags, static_cast<uint32_t>(DB_DBT_MALLOC));
    EXPECT_EQ(data.data, nullptr);
    EXPECT_EQ(memcmp(buffer, cal.idHash, 16), 0);
    const unsigned char zeros[20] = {};
    EXPECT_EQ(memcmp(buffer + 16, zeros, 20), 0);
}

// An in-memory B-tree with the event comparison keeps each calendar's
// records together, instances in ascending recurrence id, and a range
// search on the bare calendar hash lands on the calendar's first record.
TEST(RecordKeys, BerkeleyBtreeWithEventOrderGroupsCalendarsAndFindsTheFirstRecord) {
    DB* db = nullptr;
    ASSERT_EQ(db_create(&db, nullptr, 0), 0);
    ASSERT_EQ(db->set_bt_compare(db, EventKeyCompare), 0);
    ASSERT_EQ(db->open(db, nullptr, nullptr, nullptr, DB_BTREE, DB_CREATE, 0), 0);

    std::vector<Key36> keys;
    for (const char* calendar : {"jdoe", "asmith", "room:101"}) {
        for (const char* uid : {"evt-a", "evt-b"}) {
            for (uint32_t rid : {0xFFFFFFFFu, 256u, 1u, 0u}) keys.push_back(EventKey(calendar, uid, rid));
        }
    }
    for (auto& key : keys) {
        DBT k = Dbt(key.data(), 36);
        char value = 'v';
        DBT v = Dbt(&value, 1);
        ASSERT_EQ(db->put(db, nullptr, &k, &v, 0), 0);
    }

    qEL2_CALPROPS cal = CalendarWithHash("asmith");
    DBC* cursor = nullptr;
    ASSERT_EQ(db->cursor(db, nullptr, &cursor, 0), 0);
    DBT key, data;
    unsigned char buffer[36];
    qel2_KeyLocateByCalendar(&key, &data, buffer, &cal);
    ASSERT_EQ(cursor->get(cursor, &key, &data, DB_SET_RANGE), 0);
    free(data.data);

    std::vector<std::pair<std::string, uint32_t>> seen;  // uid hash, recurrence id
    do {
        if (qel2_pvt_IdCompare(buffer, cal.idHash) != 0) break;
        seen.emplace_back(Hex(buffer + 16, 16), qel2_KeyGetU32(buffer + 32));
        memset(&data, 0, sizeof data);
        data.flags = DB_DBT_MALLOC;
        int rc = cursor->get(cursor, &key, &data, DB_NEXT);
        if (rc != 0) break;
        free(data.data);
    } while (true);
    cursor->close(cursor);
    db->close(db, 0);

    ASSERT_EQ(seen.size(), 8u);
    for (size_t i = 0; i < seen.size(); ++i) {
        if (i % 4 != 0) {
            EXPECT_EQ(seen[i].first, seen[i - 1].first);
            EXPECT_LT(seen[i - 1].second, seen[i].second);
        }
    }
    EXPECT_EQ(seen[0].second, 0u);
    EXPECT_EQ(seen[3].second, 0xFFFFFFFFu);
    EXPECT_LT(seen[0].first, seen[4].first);
}

}  // namespace
