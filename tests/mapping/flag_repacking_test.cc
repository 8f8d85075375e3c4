// Re-packing of the event and to-do flag words into the server's layout,
// one source bit (or field) at a time.
#include <gtest/gtest.h>

#include "mapping_fixtures.h"

namespace {

using namespace qel2::test;

template <typename Kind>
uint32_t Repacked(uint32_t source, uint32_t preset) {
    ItemPair<Kind> pair;
    pair.source->flags = source;
    pair.target->flags = preset;
    EXPECT_EQ(pair.Map(), 0);
    return pair.target->flags;
}

// The host bits the mappings rewrite are replaced, the others kept, over
// host words preset three ways. An event's bit 6 and the high bits of both
// are not carried over, nor is a to-do's link bit; host bit 25 (the start
// is a date, again) is rewritten for events only.
TEST(FlagRepacking, EachSourceBitMovesToItsHostPosition) {
    const struct {
        bool event;
        uint32_t source, host;
    } cases[] = {
        {true, 0xF, 0xF},  // priority
        {true, qEL2_EVENT_START_IS_DATE, CALDB_ITEM_START_IS_DATE | CALDB_ITEM_START_IS_DATE2},
        {true, qEL2_EVENT_END_IS_DATE, CALDB_ITEM_END_IS_DATE},
        {true, 1u << 6, 0},
        {true, 5u << 7, 5u << 5},  // status 5, then every status bit
        {true, 63u << 7, 63u << 5},
        {true, qEL2_EVENT_TOMBSTONE, CALDB_ITEM_TOMBSTONE},
        {true, qEL2_EVENT_FLAG14, CALDB_ITEM_FLAG12},
        {true, qEL2_EVENT_FLAG15, CALDB_ITEM_FLAG13},
        {true, 0xFFFF0000u, 0},
        {false, 0xF, 0xF},
        {false, qEL2_TODO_START_IS_DATE, CALDB_ITEM_START_IS_DATE},
        {false, qEL2_TODO_DUE_IS_DATE, CALDB_ITEM_END_IS_DATE},
        {false, 3u << 6, 3u << 5},
        {false, 63u << 6, 63u << 5},
        {false, qEL2_TODO_TOMBSTONE, CALDB_ITEM_TOMBSTONE},
        {false, qEL2_TODO_FLAG13, CALDB_ITEM_FLAG12},
        {false, qEL2_TODO_LINK, 0},
        {false, 0xFFFF8000u, 0},
    };
    for (const auto& c : cases) {
        const uint32_t rewritten =
            0x00007FFFu | CALDB_ITEM_END_IS_DATE | (c.event ? CALDB_ITEM_START_IS_DATE2 : 0);
        for (uint32_t preset : {0u, 0xFFFFFFFFu, 0x5A5A5A5Au}) {
            EXPECT_EQ(c.event ? Repacked<EventKind>(c.source, preset)
                              : Repacked<ToDoKind>(c.source, preset),
                      (preset & ~rewritten) | c.host)
                << (c.event ? "event" : "to-do") << std::hex << " source 0x" << c.source
                << " preset 0x" << preset;
        }
    }
}

}  // namespace
