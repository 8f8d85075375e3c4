// An event into the server's CALDB_EVENT.
#include <qel2/mapping.h>

#include "flag_bits.h"
#include "item_mapping.h"

using namespace qel2::mapping;

namespace {

struct EventPair {
    using Source = qEL2_VEVENT;
    using Target = CALDB_EVENT;

    static bool IsLink(const Source& s) { return qel2_EventIsLink(&s); }

    // The event's own bit 6 and bits 16-31 have no host counterpart.
    static uint32_t RepackFlags(uint32_t f, uint32_t target) {
        constexpr uint32_t kRewritten = CALDB_ITEM_PRIORITY_MASK | CALDB_ITEM_START_IS_DATE |
                                        CALDB_ITEM_STATUS_MASK | CALDB_ITEM_TOMBSTONE |
                                        CALDB_ITEM_FLAG12 | CALDB_ITEM_FLAG13 | CALDB_ITEM_FLAG14 |
                                        CALDB_ITEM_END_IS_DATE | CALDB_ITEM_START_IS_DATE2;
        const uint32_t packed = qel2_EventPriority(f) |
                                BitIf(qel2_EventStartIsDate(f), CALDB_ITEM_START_IS_DATE) |
                                qel2_EventStatus(f) << CALDB_ITEM_STATUS_SHIFT |
                                BitIf(qel2_EventTombstone(f), CALDB_ITEM_TOMBSTONE) |
                                BitIf(qel2_EventFlag14(f), CALDB_ITEM_FLAG12) |
                                BitIf(qel2_EventFlag15(f), CALDB_ITEM_FLAG13) |
                                BitIf(qel2_EventEndIsDate(f), CALDB_ITEM_END_IS_DATE) |
                                BitIf(qel2_EventStartIsDate(f), CALDB_ITEM_START_IS_DATE2);
        return ReplaceBits(target, kRewritten, packed);
    }

    static void CopyOwnScalars(const Source& s, Target& t) { t.dtend = s.dtEnd; }
};

}  // namespace

// `spare` is part of the server's calling convention and carries nothing.
extern "C" int32_t EventMapping(const qEL2_VEVENT* source, CALDB_EVENT** target,
                                const char* organizerId, int32_t /*spare*/, PRFileDesc* out,
                                int32_t traceLevel) {
    return MapItem<EventPair>(source, target, organizerId, out, traceLevel);
}
