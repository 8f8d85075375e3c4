// The key that follows another in an event or to-do database.

#include "query/walk_step.h"

#include <qel2/keys.h>

namespace qel2query {

bool AdvanceKey(unsigned char* key) {
    constexpr uint32_t kLastRecurrence = 0xFFFFFFFFu;
    const uint32_t recurrence = qel2_KeyGetU32(key + 32);
    if (recurrence != kLastRecurrence) {
        qel2_KeyPutU32(key + 32, recurrence + 1);
        return true;
    }
    // Adding one would wrap to 0 and find the same record again: go on
    // with the next unique-id hash instead. Bytes 16-31 compare from the
    // first, so the last one is the lowest digit.
    qel2_KeyPutU32(key + 32, 0);
    for (int i = 31; i >= 16; --i) {
        if (++key[i] != 0) return true;
    }
    return false;  // past the largest hash: nothing of this calendar is left
}

}  // namespace qel2query
