// A to-do into the server's CALDB_TODO.
#include <qel2/mapping.h>

#include "flag_bits.h"
#include "item_mapping.h"

using namespace qel2::mapping;

namespace {

struct ToDoPair {
    using Source = qEL2_VTODO;
    using Target = CALDB_TODO;

    // A to-do carries its link bit in its stored flags.
    static bool IsLink(const Source& s) { return qel2_ToDoIsLink(s.flags); }

    // flag13 and flag14 are cleared; start_is_date2 is an event bit and
    // stays as the server set it. The link bit is not carried over.
    static uint32_t RepackFlags(uint32_t f, uint32_t target) {
        constexpr uint32_t kRewritten = CALDB_ITEM_PRIORITY_MASK | CALDB_ITEM_START_IS_DATE |
                                        CALDB_ITEM_STATUS_MASK | CALDB_ITEM_TOMBSTONE |
                                        CALDB_ITEM_FLAG12 | CALDB_ITEM_FLAG13 | CALDB_ITEM_FLAG14 |
                                        CALDB_ITEM_END_IS_DATE;
        const uint32_t packed = qel2_ToDoPriority(f) |
                                BitIf(qel2_ToDoStartIsDate(f), CALDB_ITEM_START_IS_DATE) |
                                qel2_ToDoStatus(f) << CALDB_ITEM_STATUS_SHIFT |
                                BitIf(qel2_ToDoTombstone(f), CALDB_ITEM_TOMBSTONE) |
                                BitIf(qel2_ToDoFlag13(f), CALDB_ITEM_FLAG12) |
                                BitIf(qel2_ToDoDueIsDate(f), CALDB_ITEM_END_IS_DATE);
        return ReplaceBits(target, kRewritten, packed);
    }

    static void CopyOwnScalars(const Source& s, Target& t) {
        t.due = s.dtDue;
        t.completed = s.dtCompleted;
        t.extra_word2 = s.lExtra2;
    }
};

}  // namespace

// `spare` is part of the server's calling convention and carries nothing.
extern "C" int32_t ToDoMapping(const qEL2_VTODO* source, CALDB_TODO** target,
                               const char* organizerId, int32_t /*spare*/, PRFileDesc* out,
                               int32_t traceLevel) {
    return MapItem<ToDoPair>(source, target, organizerId, out, traceLevel);
}
