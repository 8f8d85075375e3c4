// The B-tree key order of each database. The store installs these
// comparisons; a program that writes a store compiles this file in to
// install the same ones (the library does not export them).

#include <qel2/key_order.h>

namespace {

int CompareU32(uint32_t a, uint32_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

const unsigned char* Bytes(const DBT* dbt) { return static_cast<const unsigned char*>(dbt->data); }

}  // namespace

extern "C" {

int CalPropsKeyCompare(DB*, const DBT* a, const DBT* b) {
    return qel2_pvt_IdCompare(Bytes(a), Bytes(b));
}

// Calendar hash, then unique-id hash, then the recurrence id as a number,
// so the instances of one event follow each other in ascending order.
int EventKeyCompare(DB*, const DBT* a, const DBT* b) {
    const unsigned char* x = Bytes(a);
    const unsigned char* y = Bytes(b);
    if (int c = qel2_pvt_IdCompare(x, y)) return c;
    if (int c = qel2_pvt_IdCompare(x + 16, y + 16)) return c;
    return CompareU32(qel2_KeyRecurrenceId(x), qel2_KeyRecurrenceId(y));
}

int AlarmKeyCompare(DB*, const DBT* a, const DBT* b) {
    const unsigned char* x = Bytes(a);
    const unsigned char* y = Bytes(b);
    if (int c = CompareU32(qel2_KeyGetU32(x), qel2_KeyGetU32(y))) return c;
    if (int c = qel2_pvt_IdCompare(x + 4, y + 4)) return c;
    return CompareU32(qel2_KeyGetU32(x + 20), qel2_KeyGetU32(y + 20));
}

}  // extern "C"
