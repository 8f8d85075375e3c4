// Re-packing of the event and to-do flag words into the server's layout,
// one source bit (or field) at a time.
#include <gtest/gtest.h>

#include "mapping_fixtures.h"

namespace {

using namespace qel2::test;

struct FlagCase {
    uint32_t source;
    uint32_t host;  // the host bits that the source bits become
};

// All host bits the mappings rewrite; bit 25 only for events.
constexpr uint32_t kRewritten = 0x00007FFFu | CALDB_ITEM_END_IS_DATE;

template <typename Kind>
void ExpectRepacked(const FlagCase& c, uint32_t rewritten, uint32_t preset) {
    ItemPair<Kind> pair;
    pair.source->flags = c.source;
    pair.target->flags = preset;
    ASSERT_EQ(pair.Map(), 0);
    EXPECT_EQ(pair.target->flags, (preset & ~rewritten) | c.host)
        << std::hex << "source 0x" << c.source << " preset 0x" << preset;
}

TEST(FlagRepacking, EventBitsMoveToTheirHostPositions) {
    // Priority, the two date bits, bit 6 (not interpreted), status 5 and
    // all status bits, tombstone, flags 14 and 15, the unused high bits.
    const FlagCase cases[] = {
        {0xF, 0xF},
        {qEL2_EVENT_START_IS_DATE, CALDB_ITEM_START_IS_DATE | CALDB_ITEM_START_IS_DATE2},
        {qEL2_EVENT_END_IS_DATE, CALDB_ITEM_END_IS_DATE},
        {1u << 6, 0},
        {5u << 7, 5u << 5},
        {63u << 7, 63u << 5},
        {qEL2_EVENT_TOMBSTONE, CALDB_ITEM_TOMBSTONE},
        {qEL2_EVENT_FLAG14, CALDB_ITEM_FLAG12},
        {qEL2_EVENT_FLAG15, CALDB_ITEM_FLAG13},
        {0xFFFF0000u, 0},
    };
    for (const FlagCase& c : cases) {
        for (uint32_t preset : {0u, 0xFFFFFFFFu, 0x5A5A5A5Au})
            ExpectRepacked<EventKind>(c, kRewritten | CALDB_ITEM_START_IS_DATE2, preset);
    }
}

TEST(FlagRepacking, ToDoBitsMoveToTheirHostPositionsAndBit25IsKept) {
    // As for events; the link bit leaves host flag 13 at 0.
    const FlagCase cases[] = {
        {0xF, 0xF},
        {qEL2_TODO_START_IS_DATE, CALDB_ITEM_START_IS_DATE},
        {qEL2_TODO_DUE_IS_DATE, CALDB_ITEM_END_IS_DATE},
        {3u << 6, 3u << 5},
        {63u << 6, 63u << 5},
        {qEL2_TODO_TOMBSTONE, CALDB_ITEM_TOMBSTONE},
        {qEL2_TODO_FLAG13, CALDB_ITEM_FLAG12},
        {qEL2_TODO_LINK, 0},
        {0xFFFF8000u, 0},
    };
    for (const FlagCase& c : cases) {
        for (uint32_t preset : {0u, 0xFFFFFFFFu, 0x5A5A5A5Au})
            ExpectRepacked<ToDoKind>(c, kRewritten, preset);
    }
}

}  // namespace
