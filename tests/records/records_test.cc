// Record keys (the genuine store's, and the orders its own does not show)
// and lifetimes (presets, what the destructors answer; that they release
// every field, the AddressSanitizer build of every suite shows).

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include <qel2/key_order.h>
#include <qel2/records.h>

#include "hex.h"
#include "record_keys.h"
#include "support/legacy42_manifest.h"

namespace {

template <typename Key>
std::vector<unsigned char> Bytes(const Key& key) {
    return {key.begin(), key.end()};
}
using qel2::mkstore::MakeAlarmKey;
using qel2::mkstore::MakeEventKey;

// Built by qel2-mkstore's key maker, which calls the library's functions.
TEST(RecordKeys, EveryKeyOfTheGenuineStoreIsRebuilt) {
    const auto& manifest = qel2::test::Legacy42Manifest();
    for (const auto& calendar : manifest.at("calendars")) {
        const auto digest = qel2::mkstore::Md5(calendar.at("id"));
        EXPECT_EQ(qel2::tools::ToHex(digest.data(), 16), calendar.at("key_md5"))
            << calendar.at("id");
    }
    for (const char* section : {"events", "todos"}) {
        for (const auto& item : manifest.at(section)) {
            const auto key =
                MakeEventKey(item.at("calendar"), item.at("uid"), item.at("recurrence_id"));
            EXPECT_EQ(qel2::tools::ToHex(key.data(), key.size()), item.at("key_hex"))
                << item.at("uid");
        }
    }
}

// An event's recurrence id compares as a number (little-endian, so not
// byte by byte); alarm keys with the same leading value by the identifier,
// then by the trailing value.
TEST(RecordKeys, ComparisonsOrderAsTheStoreDoes) {
    const qel2::mkstore::Hash low{}, high{0x80};
    // Bytes and words compare unsigned: 0x7f before 0x80, 1 before 0xffffffff.
    std::vector<unsigned char> calendarLow(qEL2_CALPROPS_KEY_SIZE), calendarHigh = calendarLow;
    calendarLow[0] = 0x7f;
    calendarHigh[0] = 0x80;
    const struct {
        int (*compare)(DB*, const DBT*, const DBT*);
        std::vector<unsigned char> low, high;
    } pairs[] = {
        {EventKeyCompare, Bytes(MakeEventKey("a", "e", 1)), Bytes(MakeEventKey("a", "e", 256))},
        {CalPropsKeyCompare, calendarLow, calendarHigh},
        {AlarmKeyCompare, Bytes(MakeAlarmKey(1, low, 0)), Bytes(MakeAlarmKey(0xffffffffu, low, 0))},
        {AlarmKeyCompare, Bytes(MakeAlarmKey(1, low, 0)), Bytes(MakeAlarmKey(1, high, 0))},
        {AlarmKeyCompare, Bytes(MakeAlarmKey(1, low, 0)), Bytes(MakeAlarmKey(1, low, 2))},
        {AlarmKeyCompare, Bytes(MakeAlarmKey(1, low, 2)), Bytes(MakeAlarmKey(1, high, 0))},
    };
    for (auto [compare, lowKey, highKey] : pairs) {
        DBT l{}, h{};
        l.data = lowKey.data();
        h.data = highKey.data();
        l.size = h.size = static_cast<uint32_t>(lowKey.size());
        EXPECT_EQ(compare(nullptr, &l, &h), -1) << l.size;
        EXPECT_EQ(compare(nullptr, &h, &l), 1) << l.size;
        EXPECT_EQ(compare(nullptr, &l, &l), 0) << l.size;
    }
}

TEST(RecordLifetime, PresetsAndWhatTheDestructorsAnswer) {
    qEL2_VEVENT* event = qel2_NewEvent();
    const qEL2_VEVENT zero{};
    EXPECT_EQ(memcmp(event, &zero, sizeof zero), 0);
    event->pPrivate = malloc(32);
    event->pSummary = strdup("kept");
    // The private release takes only the private block.
    EXPECT_EQ(qel2_pvt_FreeEvent(&event), 0);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(event->pPrivate, nullptr);
    EXPECT_STREQ(event->pSummary, "kept");
    array_t* events = array_new();
    array_append(events, event);
    array_append(events, nullptr);  // passed over
    EXPECT_EQ(qel2_FreeEventList(&events), 0);
    EXPECT_EQ(events, nullptr);

    qEL2_VTODO* todo = qel2_NewToDo();
    EXPECT_EQ(std::tuple(todo->lExtra2, todo->lSpare, todo->flags), std::tuple(-1, 1u, 192u));
    EXPECT_EQ(qel2_FreeToDo(&todo), 0);
    EXPECT_EQ(qel2_FreeToDo(&todo), 0) << "a second call through the cleared pointer does nothing";
    EXPECT_EQ(qel2_FreeCalProps(nullptr), 0);
    // A null address, a null list: the calendar list answers 2, 3, others 1, 2.
    for (auto [free, nullAddress, nullList] : {std::tuple{&qel2_FreeCalPropsList, 2, 3},
                                               {&qel2_FreeEventList, 1, 2},
                                               {&qel2_FreeToDoList, 1, 2}}) {
        array_t* none = nullptr;
        EXPECT_EQ(free(nullptr), nullAddress);
        EXPECT_EQ(free(&none), nullList);
    }
}

}  // namespace
