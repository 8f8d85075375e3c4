// Record keys: the digests and keys a Berkeley DB 4.2 server stored, and
// the key orders where the genuine store's order does not show them. (The
// genuine store written back in tests/mkstore shows calendar digests
// ordered as unsigned bytes and alarm keys by their leading value.)

#include <gtest/gtest.h>

#include <array>
#include <string>

#include <qel2/key_order.h>

#include "hex.h"
#include "support/legacy42_manifest.h"

namespace {

using Key = std::array<unsigned char, 36>;

Key EventKey(const std::string& calendar, const std::string& uid, uint32_t rid) {
    qEL2_CALPROPS cal{};
    qel2_pvt_MD5Hash(calendar.c_str(), cal.idHash);
    cal.pvtFlags = qEL2_CAL_HASH_VALID;
    Key key{};
    qel2_pvt_CompHashCore(&cal, uid.c_str(), rid, key.data());
    return key;
}

TEST(RecordKeys, EveryKeyOfTheGenuineStoreIsRebuilt) {
    const auto& manifest = qel2::test::Legacy42Manifest();
    for (const auto& calendar : manifest.at("calendars")) {
        unsigned char digest[16];
        qel2_pvt_MD5Hash(calendar.at("id").get_ref<const std::string&>().c_str(), digest);
        EXPECT_EQ(qel2::tools::ToHex(digest, 16), calendar.at("key_md5")) << calendar.at("id");
    }
    for (const char* section : {"events", "todos"}) {
        for (const auto& item : manifest.at(section)) {
            Key key = EventKey(item.at("calendar"), item.at("uid"), item.at("recurrence_id"));
            EXPECT_EQ(qel2::tools::ToHex(key.data(), key.size()), item.at("key_hex"))
                << item.at("uid");
            EXPECT_EQ(qel2_KeyGetU32(key.data() + 32), item.at("recurrence_id").get<uint32_t>());
        }
    }
}

// An event's recurrence id compares as a number (little-endian, so not
// byte by byte); alarm keys with the same leading value by the identifier,
// then by the trailing value.
TEST(RecordKeys, ComparisonsOrderAsTheStoreDoes) {
    auto alarmKey = [](unsigned char idByte, uint32_t trailing) {
        Key key{};  // 24 bytes used
        qel2_KeyPutU32(key.data(), 1);
        key[4] = idByte;
        qel2_KeyPutU32(key.data() + 20, trailing);
        return key;
    };
    const struct {
        int (*compare)(DB*, const DBT*, const DBT*);
        uint32_t size;
        Key low, high;
    } pairs[] = {
        {EventKeyCompare, 36, EventKey("jdoe", "evt", 1), EventKey("jdoe", "evt", 256)},
        {AlarmKeyCompare, 24, alarmKey(0, 0), alarmKey(0x80, 0)},
        {AlarmKeyCompare, 24, alarmKey(0, 0), alarmKey(0, 2)},
        {AlarmKeyCompare, 24, alarmKey(0, 2), alarmKey(0x80, 0)},
    };
    for (auto [compare, size, low, high] : pairs) {
        DBT l{}, h{};
        l.data = low.data();
        h.data = high.data();
        l.size = h.size = size;
        EXPECT_EQ(compare(nullptr, &l, &h), -1) << size;
        EXPECT_EQ(compare(nullptr, &h, &l), 1) << size;
        EXPECT_EQ(compare(nullptr, &l, &l), 0) << size;
    }
}

}  // namespace
